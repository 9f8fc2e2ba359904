#pragma once

// Links on their way out of the window by drag and drop, and what a drop brings in.
//
// Out: the links of the dragged rows as "text/plain", one a line (LF between them, none
// after the last), and as "text/uri-list" (RFC 2483: each followed by CRLF), written as they
// are, byte for byte, never re-encoded as a QUrl would.
//
// In: a drop's addresses (its "text/uri-list", read line by line as it stands, comment
// lines left out) are sorted into local files, http and https addresses to download, and
// magnet links; other schemes are passed over. A drop without addresses gives its text,
// to be read for magnet links; a text that is just one http or https address counts as that
// address.

#include <QList>
#include <QMimeData>
#include <QString>
#include <QStringList>
#include <QUrl>
#include <QVariant>
#include <string>
#include <vector>

namespace lintervale {

// The drag data of links. QMimeData itself would keep a "text/uri-list" as QUrls and hand out
// their re-encoding, so this keeps the bytes and answers for both formats itself.
class LinkMimeData final : public QMimeData {
    Q_OBJECT
public:
    explicit LinkMimeData(const QStringList& Links);

    QStringList formats() const override;
    bool hasFormat(const QString& MimeType) const override;

protected:
    QVariant retrieveData(const QString& MimeType, QMetaType Type) const override;

private:
    QString m_Text;
    QByteArray m_UriList;
};

// Drags Links out of Source (nothing when there are none). Qt's event loop runs until the
// drop: what called this must not rely on anything it looked at before.
void dragLinks(QObject* Source, const std::vector<std::string>& Links);

struct DroppedLinks {
    QStringList Files;   // local paths
    QList<QUrl> WebUrls; // http and https addresses
    QString MagnetText;  // text to read magnet links from, links one a line
    bool isEmpty() const { return Files.isEmpty() && WebUrls.isEmpty() && MagnetText.isEmpty(); }
};

// Whether a drop may bring something: it carries addresses or text.
bool mayHoldLinks(const QMimeData& Data);

DroppedLinks droppedLinks(const QMimeData& Data);

} // namespace lintervale
