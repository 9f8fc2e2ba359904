#pragma once

// The window in the user's language: the program's own translations (translations/*.ts,
// built into the resources under :/i18n) and Qt's (qtbase: the standard buttons of the boxes,
// the file dialog), for the first of the locale's languages that the program has a
// translation for. LANGUAGE, LC_ALL, LC_MESSAGES and LANG choose them, as Qt's locale reads
// them. English, the language the texts are written in, needs none: a user who lists English
// before another language gets English.

#include <QString>
#include <exception>

class QLocale;

namespace lintervale {

class TMessage;

// Replaces what an earlier call installed with the translations for Locale's languages.
// Returns the language installed ("de"), or an empty string for English. Qt's translations
// are taken from Qt's folder when they are there; without them the standard buttons stay
// English.
QString installTranslations(const QLocale& Locale);

// A message of the core in the installed language.
QString messageText(const TMessage& Message);
// What a failure says: its message in the installed language when the core gave it one
// (EMessageError), its own words otherwise.
QString errorText(const std::exception& Error);

// The column heading that the list writes into column Column, in the installed language.
QString headingText(int Column);

} // namespace lintervale
