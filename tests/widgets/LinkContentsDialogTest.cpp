// "Link contents": the choices, their preview, a bad peer address named, the defaults, and
// the options file that keeps them. Offscreen.

#include "widgets/LinkContentsDialog.h"

#include "magnet/LinkSettings.h"
#include "session/SettingsStore.h"
#include "tests/widgets/WindowTesting.h"

#include <QCheckBox>
#include <QDialogButtonBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

using namespace lintervale;

class LinkContentsDialogTest : public QObject {
    Q_OBJECT
private slots:
    void initTestCase() { InitWindowTests(); }

    void choicesPreviewAndDefaults() {
        TLinkContents start;
        start.Name = false;
        start.Trackers = TLinkContents::TTrackers::First;
        start.Peers = {"1.2.3.4:80"};
        const QString facts = "magnet:?xt=urn:btih:" + QString(40, 'a');
        LinkContentsDialog dialog(start, [&](const TLinkContents& Contents) {
            return QString::fromStdString(
                MagnetLink({.Hash = std::string(40, 'a'),
                            .Name = "n",
                            .TrackerCell = "\"http://t/1\"|\"http://t/2\"",
                            .WebSeeds = {"http://w/"},
                            .Length = 5},
                           Contents));
        });
        const auto preview = [&] { return dialog.findChild<QLineEdit*>("LinkPreview")->text(); };
        QVERIFY(dialog.contents() == start);
        QCOMPARE(preview(), facts + "&tr=http://t/1&ws=http://w/&x.pe=1.2.3.4:80");
        dialog.findChild<QRadioButton*>("LinkNoTrackers")->setChecked(true);
        dialog.findChild<QCheckBox*>("LinkWebSeeds")->setChecked(false);
        dialog.findChild<QCheckBox*>("LinkExactLength")->setChecked(true);
        QCOMPARE(preview(), facts + "&xl=5&x.pe=1.2.3.4:80");

        // A bad peer address is named and keeps the dialog open.
        dialog.findChild<QPlainTextEdit*>("LinkPeers")->setPlainText("1.2.3.4:80\nnot a peer\n");
        QVERIFY(dialog.findChild<QLabel*>("LinkProblem")->text().contains("\"not a peer\""));
        dialog.show();
        dialog.accept();
        QVERIFY(dialog.isVisible());
        dialog.findChild<QPlainTextEdit*>("LinkPeers")->setPlainText(" [::1]:6881 \n");
        dialog.accept();
        QVERIFY(!dialog.isVisible());
        QCOMPARE(dialog.contents().Peers, std::vector<std::string>{"[::1]:6881"});

        // The defaults give the full link.
        QTest::mouseClick(
            dialog.findChild<QDialogButtonBox*>()->button(QDialogButtonBox::RestoreDefaults),
            Qt::LeftButton);
        QVERIFY(dialog.contents() == TLinkContents{});
    }

    void theOptionsFileKeepsThem() {
        QTemporaryDir dir;
        const SettingsStore store(dir.filePath("Lintervale.conf"));
        QVERIFY(store.linkContents() == TLinkContents{});
        TLinkContents chosen;
        chosen.WebSeeds = false;
        chosen.ExactLength = true;
        chosen.Trackers = TLinkContents::TTrackers::None;
        chosen.Peers = {"a.example:1", "[::1]:2"};
        QVERIFY(store.setLinkContents(chosen));
        QVERIFY(store.linkContents() == chosen);
        // The headless commands read the same file the same way.
        QFile file(dir.filePath("Lintervale.conf"));
        QVERIFY(file.open(QIODevice::ReadOnly));
        QVERIFY(ReadLinkSettings(file.readAll().toStdString()) == chosen);
    }
};

QTEST_MAIN(LinkContentsDialogTest)
#include "LinkContentsDialogTest.moc"
