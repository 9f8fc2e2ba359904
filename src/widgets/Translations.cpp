#include "widgets/Translations.h"

#include "list/TorrentList.h"
#include "messages/Message.h"
#include "qtsupport/Utf8Text.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QPointer>
#include <QTranslator>
#include <algorithm>
#include <climits>

namespace lintervale {

namespace {

QPointer<QTranslator> gProgram;
QPointer<QTranslator> gQt;

void Remove(QPointer<QTranslator>& Translator) {
    if (Translator != nullptr) {
        QCoreApplication::removeTranslator(Translator);
        delete Translator;
    }
}

} // namespace

QString installTranslations(const QLocale& Locale) {
    Remove(gProgram);
    Remove(gQt);
    for (QString language : Locale.uiLanguages()) {
        language.replace('-', '_');
        if (language == QLatin1String("C") || language == QLatin1String("en") ||
            language.startsWith(QLatin1String("en_"))) {
            return {}; // the texts' own language comes first
        }
        auto* program = new QTranslator(QCoreApplication::instance());
        // Also finds "lintervale_de" for "de_AT".
        if (!program->load(QLatin1String("lintervale_") + language, QStringLiteral(":/i18n"))) {
            delete program;
            continue;
        }
        gProgram = program;
        QCoreApplication::installTranslator(program);
        auto* qt = new QTranslator(QCoreApplication::instance());
        if (qt->load(QLatin1String("qtbase_") + language,
                     QLibraryInfo::path(QLibraryInfo::TranslationsPath))) {
            gQt = qt;
            QCoreApplication::installTranslator(qt);
        } else {
            delete qt;
        }
        return program->language().section('_', 0, 0);
    }
    return {};
}

QString messageText(const TMessage& Message) {
    QString text;
    for (const TMessagePart& part : Message.Parts()) {
        if (part.Format == nullptr) {
            text += QStringOf(part.Args.front());
            continue;
        }
        const int count = static_cast<int>(std::min<std::int64_t>(part.Count, INT_MAX));
        const QString format =
            QCoreApplication::translate(kMessageContext, part.Format, nullptr, count);
        text += QStringOf(FillPlaceholders(Utf8Of(format), part.Args));
    }
    return text;
}

QString errorText(const std::exception& Error) {
    if (const auto* described = dynamic_cast<const EMessageError*>(&Error)) {
        return messageText(described->Message());
    }
    return QString::fromLocal8Bit(Error.what());
}

QString headingText(int Column) {
    return QCoreApplication::translate(kMessageContext, kHeadings[Column]);
}

} // namespace lintervale
