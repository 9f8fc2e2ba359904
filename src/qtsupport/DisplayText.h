#pragma once

// How text from outside the program (a torrent's name or fields, a file name, an address, a
// server's words) is shown on the screen. What is stored, linked and saved is never changed:
// only what a widget shows passes through here.
//
// - A bidirectional control character (the Unicode Bidi_Control set: U+061C, U+200E, U+200F,
//   U+202A to U+202E, U+2066 to U+2069) can make a name read in another order than its
//   characters stand: "invoice" U+202E "fdp.exe" shows as "invoiceexe.pdf". DisplayText shows
//   each as a visible mark, Unicode's abbreviation of it in brackets ("[RLO]"), so that a
//   name shows in the order of its characters.
// - Labels and boxes that show such text take Qt::PlainText. A tool tip has no format of its
//   own: Qt shows it as rich text when Qt::mightBeRichText says so, and a name holding
//   "<a href=...>" would become a link. ToolTipText gives a tool tip that shows the text as it
//   is either way.

#include <QString>

namespace lintervale {

// Text with each bidirectional control character shown as its mark.
QString DisplayText(const QString& Text);

// DisplayText for a tool tip: as it is when Qt takes it for plain text, else escaped, so that
// Qt's rich text shows the very same characters.
QString ToolTipText(const QString& Text);

} // namespace lintervale
