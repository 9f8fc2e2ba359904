// The window in German, and the translation files themselves. Runs with LANGUAGE=de, as a
// German user's session sets it.

#include "list/TorrentList.h"
#include "messages/Message.h"
#include "metainfo/Cause.h"
#include "network/TrackerFetcher.h"
#include "qtsupport/Utf8Text.h"
#include "tests/widgets/FormTestBase.h"
#include "trackers/TrackerMessages.h"
#include "widgets/Translations.h"

#include <QAction>
#include <QCheckBox>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QLocale>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QRegularExpression>
#include <QSet>
#include <QTableView>
#include <QXmlStreamReader>

using namespace lintervale;

namespace {

// The placeholders of a text (%1 .. %9, %n), each once, and how many accelerators it marks.
QStringList Placeholders(const QString& Text) {
    QStringList found;
    QRegularExpressionMatchIterator it = QRegularExpression("%[1-9n]").globalMatch(Text);
    while (it.hasNext()) {
        const QString one = it.next().captured();
        if (!found.contains(one)) {
            found.append(one);
        }
    }
    found.sort();
    return found;
}

int Accelerators(QString Text) {
    return static_cast<int>(Text.remove("&&").count('&'));
}

// The letter a caption's accelerator picks, lower case; empty without one.
QString AcceleratorOf(QString Caption) {
    const qsizetype at = Caption.remove("&&").indexOf('&');
    return at < 0 || at + 1 >= Caption.size() ? QString() : Caption.mid(at + 1, 1).toLower();
}

} // namespace

class TranslationTest : public testing::FormTestBase {
    Q_OBJECT
private slots:
    void initTestCase() { InitFormResources(); }
    void init() { installTranslations(QLocale::system()); }
    void cleanup() {
        tearDownForm();
        installTranslations(QLocale::c());
    }

    void theLocaleChoosesTheLanguage();
    void withoutTranslationTheCoreSpeaksEnglish();
    void theWindowSpeaksGerman();
    void messagesOfTheCoreInGerman();
    void acceleratorsStayApartInGerman();
    void translationsKeepPlaceholdersAndAccelerators();
};

void TranslationTest::theLocaleChoosesTheLanguage() {
    // The test's session asks for German.
    QCOMPARE(installTranslations(QLocale::system()), QString("de"));
    const std::pair<const char*, const char*> cases[] = {
        {"de_DE", "de"}, {"de_AT", "de"}, {"de", "de"},  {"en_US", ""},
        {"en_GB", ""},   {"C", ""},       {"fr_FR", ""},
    };
    for (const auto& [locale, language] : cases) {
        QCOMPARE(installTranslations(QLocale(locale)), QString(language));
        // The program's texts and Qt's go together.
        QCOMPARE(QCoreApplication::translate("lintervale::MainForm", "&Clear all") ==
                     QString("&Clear all"),
                 QString(language).isEmpty());
    }
}

void TranslationTest::withoutTranslationTheCoreSpeaksEnglish() {
    installTranslations(QLocale::c());
    const TMessage messages[] = {
        TMessage(kTrackersForText, {"2", "a %1 \"b\""}),
        TMessage::Verbatim("0a1b - ") + TMessage(kDuplicateText),
        TMessage(kFetchingText, {"n\xC3\xA4me"}),
        TMessage::Counted(TranslatableCounted("Message", "%n tracker holding a double quote or "
                                                         "\"|\" left out."),
                          TranslatableCounted("Message", "%n trackers holding a double quote or "
                                                         "\"|\" left out."),
                          1),
        TMessage(kCorruptMetainfo.data()),
        TMessage(),
    };
    for (const TMessage& message : messages) {
        QCOMPARE(messageText(message), QStringOf(message.English()));
    }
}

void TranslationTest::theWindowSpeaksGerman() {
    setUpForm();
    QCOMPARE(child<QPushButton>("Button1")->text(), QString("Torrents &hinzufügen"));
    QCOMPARE(child<QPushButton>("Button2")->text(), QString("Liste &leeren"));
    QCOMPARE(child<QCheckBox>("CheckBox2")->text(), QString("Beim Beenden &speichern"));
    QCOMPARE(child<QCheckBox>("CheckBox4")->text(), QString("Stiller &Modus"));
    QCOMPARE(child<QAction>("Edittrackerlist")->text(), QString("Trackerliste &bearbeiten"));
    QCOMPARE(child<QAction>("Gettrackersfromsite")->text(),
             QString("Tracker &holen von raw.githubusercontent.com"));
    QCOMPARE(child<QAction>("Exit1")->text(), QString("&Beenden"));
    auto* grid = child<QTableView>("StringGrid1");
    QCOMPARE(grid->model()->headerData(3, Qt::Horizontal).toString(), QString("Dateien"));
    QCOMPARE(grid->model()->headerData(4, Qt::Horizontal).toString(), QString("Größe"));

    // What the list says comes in German, in the status line and in the boxes.
    child<QCheckBox>("CheckBox4")->setChecked(false);
    m_Form->AddFile(torrent("Probe"));
    m_Form->List().MouseSelect(1, false);
    QCOMPARE(status(), QString("1 Tracker für „Probe“"));
    m_Form->AddFile(torrent("Probe"));
    const QString hash = QStringOf(m_Form->List().Grid().Cell(TTorrentGrid::ColHash, 1));
    QCOMPARE(MessageBoxes::shown().value(0),
             hash + "\r\n\r\nDiesen Hash haben Sie schon hinzugefügt. :)");
    QCOMPARE(status(), hash + " - Diesen Hash haben Sie schon hinzugefügt. :)");
    QTest::mouseClick(child<QPushButton>("Button2"), Qt::LeftButton);
    QCOMPARE(MessageBoxes::shown().value(1), QString("Sind Sie sicher?"));

    // Qt's own texts, for the standard buttons of the boxes, come along where Qt has them.
    const QString qtGerman = QLibraryInfo::path(QLibraryInfo::TranslationsPath) + "/qtbase_de.qm";
    if (!QFile::exists(qtGerman)) {
        QSKIP("Qt's German translation is not installed (qt6-translations-l10n)");
    }
    QMessageBox box(QMessageBox::Question, "", "", QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text(), QString("&Ja"));
    QCOMPARE(box.button(QMessageBox::No)->text(), QString("&Nein"));
}

void TranslationTest::messagesOfTheCoreInGerman() {
    const std::pair<TMessage, QString> cases[] = {
        {TMessage(kFetchFailedText, {"%1"}), "Tracker konnten nicht geholt werden: %1"},
        {FetchLeftOutMessage("n", 2, 1),
         "Für „n“ geholte Tracker: 2 Zeilen ausgelassen: keine gültigen Adressen mit höchstens "
         "2000 Bytes ohne Leerzeichen, Anführungszeichen (\") oder „|“. 1 Tracker ausgelassen, "
         "da ein Torrent höchstens 200 Tracker in 16 KiB enthält."},
        {TMessage(kHashNotFoundText, {"dienst.example"}),
         "Hash auf dienst.example nicht gefunden."},
        {TMessage(kConfirmText), "Sind Sie sicher?"},
        {TMessage(kEditOneRowText), "Sie können nur eine Zeile auf einmal bearbeiten."},
        // An argument is never read as a placeholder, whatever the translation's order.
        {TMessage(kTrackersForText, {"%2", "%1"}), "%2 Tracker für „%1“"},
        {TMessage::Counted(TranslatableCounted("Message", "%n tracker holding a double quote or "
                                                          "\"|\" left out."),
                           TranslatableCounted("Message", "%n trackers holding a double quote "
                                                          "or \"|\" left out."),
                           4),
         "4 Tracker mit Anführungszeichen (\") oder „|“ ausgelassen."},
        {TMessage(kCorruptMetainfo.data()),
         "Beim Laden der Datei ist etwas schiefgegangen, vermutlich sind die Metadaten "
         "beschädigt."},
    };
    for (const auto& [message, german] : cases) {
        QCOMPARE(messageText(message), german);
    }
    // Why a torrent was refused, put together from parts, each of them translated.
    TLoadCause wrongType;
    wrongType.Code = TCauseCode::WrongType;
    wrongType.Key = "length";
    wrongType.Index = 2;
    wrongType.Offset = 1234;
    wrongType.Found = TValueKind::List;
    wrongType.Expected = TValueKind::Integer;
    QCOMPARE(messageText(CauseMessage(wrongType)),
             QString("length von Datei 2 bei Byte 1,234 ist eine Liste, nicht eine Ganzzahl"));
    TLoadCause tooLarge;
    tooLarge.Code = TCauseCode::TooLarge;
    tooLarge.Limit = std::int64_t{256} << 20;
    QCOMPARE(messageText(CauseMessage(tooLarge)), QString("die Datei ist größer als 256 MiB"));
    QCOMPARE(headingText(TTorrentGrid::ColTrackers), QString("Tracker"));
}

void TranslationTest::acceleratorsStayApartInGerman() {
    setUpForm();
    // Within the panel, and within the grid's context menu, no two items share a letter.
    QStringList panel;
    for (const char* name : {"Button1", "Button2", "BitBtn1"}) {
        panel.append(AcceleratorOf(child<QPushButton>(name)->text()));
    }
    for (QCheckBox* box : child<QWidget>("Panel1")->findChildren<QCheckBox*>()) {
        panel.append(AcceleratorOf(box->text()));
    }
    QStringList menu;
    for (QAction* action : child<QMenu>("PopupMenu1")->actions()) {
        if (!action->isSeparator()) {
            menu.append(AcceleratorOf(action->text()));
        }
    }
    for (const QStringList& letters : {panel, menu}) {
        QVERIFY2(!letters.contains(QString()), qPrintable(letters.join(',')));
        QCOMPARE(QSet<QString>(letters.begin(), letters.end()).size(), letters.size());
    }
}

void TranslationTest::translationsKeepPlaceholdersAndAccelerators() {
    const QStringList files =
        QDir(LINTERVALE_TRANSLATIONS).entryList({"lintervale_*.ts"}, QDir::Files);
    QVERIFY(files.contains("lintervale_de.ts"));
    for (const QString& name : files) {
        QFile file(QDir(LINTERVALE_TRANSLATIONS).filePath(name));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QXmlStreamReader xml(&file);
        QString source;
        int messages = 0;
        while (!xml.atEnd()) {
            xml.readNext();
            if (!xml.isStartElement()) {
                continue;
            }
            if (xml.name() == QLatin1String("source")) {
                source = xml.readElementText();
                ++messages;
            } else if (xml.name() == QLatin1String("translation") ||
                       xml.name() == QLatin1String("numerusform")) {
                const bool unfinished =
                    xml.attributes().value("type") == QLatin1String("unfinished");
                const QString translation =
                    xml.readElementText(QXmlStreamReader::IncludeChildElements);
                if (translation.isEmpty() && !unfinished) {
                    continue; // the numerus forms follow
                }
                const QString where = name + ": " + source;
                QVERIFY2(!unfinished && !translation.isEmpty(), qPrintable(where));
                QVERIFY2(Placeholders(translation) == Placeholders(source), qPrintable(where));
                QVERIFY2(Accelerators(translation) == Accelerators(source), qPrintable(where));
            }
        }
        QVERIFY2(!xml.hasError(), qPrintable(xml.errorString()));
        QVERIFY(messages > 100);
    }
}

QTEST_MAIN(TranslationTest)
#include "TranslationTest.moc"
