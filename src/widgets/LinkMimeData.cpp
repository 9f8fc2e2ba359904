#include "widgets/LinkMimeData.h"

#include "network/WebRequest.h"
#include "qtsupport/Utf8Text.h"

#include <QDrag>
#include <algorithm>

namespace lintervale {

namespace {

const QString kUriList = QStringLiteral("text/uri-list");
const QString kPlainText = QStringLiteral("text/plain");

bool IsMagnetText(QStringView Text) {
    return Text.startsWith(QLatin1String("magnet:"), Qt::CaseInsensitive);
}

void Sort(const QString& Address, DroppedLinks& Links) {
    if (IsMagnetText(Address)) {
        Links.MagnetText += Address + '\n';
        return;
    }
    const QUrl url(Address);
    if (url.isLocalFile()) {
        Links.Files.append(url.toLocalFile());
    } else if (IsWebAddress(url)) {
        Links.WebUrls.append(url);
    }
}

} // namespace

LinkMimeData::LinkMimeData(const QStringList& Links) : m_Text(Links.join('\n')) {
    for (const QString& link : Links) {
        m_UriList += link.toUtf8() + "\r\n";
    }
}

QStringList LinkMimeData::formats() const {
    return {kUriList, kPlainText};
}

bool LinkMimeData::hasFormat(const QString& MimeType) const {
    return MimeType == kUriList || MimeType == kPlainText;
}

QVariant LinkMimeData::retrieveData(const QString& MimeType, QMetaType Type) const {
    if (MimeType == kUriList) {
        return m_UriList;
    }
    if (MimeType == kPlainText) {
        return Type.id() == QMetaType::QByteArray ? QVariant(m_Text.toUtf8()) : QVariant(m_Text);
    }
    return {};
}

bool mayHoldLinks(const QMimeData& Data) {
    return Data.hasFormat(kUriList) || Data.hasText();
}

DroppedLinks droppedLinks(const QMimeData& Data) {
    DroppedLinks links;
    if (Data.hasFormat(kUriList)) {
        const QString list = QString::fromUtf8(Data.data(kUriList));
        for (const QStringView line : QStringView(list).split('\n')) {
            const QString address = line.trimmed().toString();
            if (!address.isEmpty() && !address.startsWith('#')) {
                Sort(address, links);
            }
        }
        return links;
    }
    const QString text = Data.text();
    const QString word = text.trimmed();
    const QUrl url(word, QUrl::StrictMode);
    const bool oneWord =
        std::none_of(word.begin(), word.end(), [](QChar C) { return C.isSpace(); });
    if (oneWord && IsWebAddress(url)) {
        links.WebUrls.append(url);
    } else {
        links.MagnetText = text;
    }
    return links;
}

void dragLinks(QObject* Source, const std::vector<std::string>& Links) {
    if (Links.empty()) {
        return;
    }
    QStringList links;
    for (const std::string& link : Links) {
        links.append(QStringOf(link));
    }
    // Qt deletes the drag once it is over.
    auto* drag = new QDrag(Source);
    drag->setMimeData(new LinkMimeData(links));
    drag->exec(Qt::CopyAction);
}

} // namespace lintervale
