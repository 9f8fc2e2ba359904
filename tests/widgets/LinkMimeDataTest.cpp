// The drag data of rows' links, and the sorting of what a drop brings.

#include "widgets/LinkMimeData.h"

#include <QHash>
#include <QImage>
#include <QTest>

using namespace lintervale;

namespace {

// Drop data as the platform hands it over from another program: the bytes as they came.
class RawDrop : public QMimeData {
public:
    QHash<QString, QByteArray> Formats;
    QStringList formats() const override { return Formats.keys(); }
    bool hasFormat(const QString& MimeType) const override { return Formats.contains(MimeType); }

protected:
    QVariant retrieveData(const QString& MimeType, QMetaType Type) const override {
        if (!Formats.contains(MimeType)) {
            return {};
        }
        const QByteArray bytes = Formats.value(MimeType);
        return Type.id() == QMetaType::QString ? QVariant(QString::fromUtf8(bytes))
                                               : QVariant(bytes);
    }
};

} // namespace

class LinkMimeDataTest : public QObject {
    Q_OBJECT
private slots:
    void linksGoOutAsTextAndUriList();
    void dropsAreSorted_data();
    void dropsAreSorted();
    void aDragComesBackAsTheSameLinks();
    void onlyAddressesAndTextMayHoldLinks();
};

void LinkMimeDataTest::linksGoOutAsTextAndUriList() {
    // The second link holds escapes that a QUrl would rewrite (%41 is "A", "|" wants one).
    const QStringList links = {"magnet:?xt=urn:btih:aa&dn=a&tr=",
                               "magnet:?xt=urn:btih:bb&dn=x%41y%7C|z&tr=udp://t:1/a%26b",
                               "magnet:?xt=urn:btih:cc&dn=c&tr="};
    const auto data = std::make_unique<LinkMimeData>(links);
    QVERIFY(data->hasText());
    QVERIFY(data->hasUrls());
    QCOMPARE(data->text(), links.join('\n'));
    QCOMPARE(data->data("text/uri-list"), (links.join("\r\n") + "\r\n").toUtf8());

    const auto one = std::make_unique<LinkMimeData>(QStringList{links[0]});
    QCOMPARE(one->text(), links[0]);
    QCOMPARE(one->data("text/uri-list"), (links[0] + "\r\n").toUtf8());
}

void LinkMimeDataTest::dropsAreSorted_data() {
    QTest::addColumn<QByteArray>("uriList"); // empty: none
    QTest::addColumn<QString>("text");
    QTest::addColumn<QStringList>("files");
    QTest::addColumn<QStringList>("webUrls");
    QTest::addColumn<QString>("magnetText");

    QTest::newRow("addresses of every kind")
        << QByteArray("# a comment\r\nfile:///tmp/a%20b.torrent\r\nhttps://x.example/t.torrent\r\n"
                      "ftp://x.example/t.torrent\r\nMagnet:?xt=urn:btih:aa&dn=%41\r\n\r\n"
                      "http://y.example/t?id=1\r\nhttp:///no-host\r\nmagnet:?xt=urn:btih:bb")
        << "ignored when there are addresses" << QStringList{"/tmp/a b.torrent"}
        << QStringList{"https://x.example/t.torrent", "http://y.example/t?id=1"}
        << "Magnet:?xt=urn:btih:aa&dn=%41\nmagnet:?xt=urn:btih:bb\n";
    QTest::newRow("LF only") << QByteArray("magnet:?a\nmagnet:?b\n") << QString() << QStringList{}
                             << QStringList{} << "magnet:?a\nmagnet:?b\n";
    QTest::newRow("text to read for links")
        << QByteArray() << "Here: magnet:?xt=urn:btih:aa and https://x.example/a" << QStringList{}
        << QStringList{} << "Here: magnet:?xt=urn:btih:aa and https://x.example/a";
    QTest::newRow("text of one web address")
        << QByteArray() << "  https://x.example/a.torrent\n"
        << QStringList{} << QStringList{"https://x.example/a.torrent"} << QString();
    QTest::newRow("text of one other address")
        << QByteArray() << "ftp://x.example/a.torrent" << QStringList{} << QStringList{}
        << "ftp://x.example/a.torrent";
}

void LinkMimeDataTest::dropsAreSorted() {
    QFETCH(QByteArray, uriList);
    QFETCH(QString, text);
    RawDrop data;
    if (!uriList.isEmpty()) {
        data.Formats.insert("text/uri-list", uriList);
    }
    if (!text.isEmpty()) {
        data.Formats.insert("text/plain", text.toUtf8());
    }
    const DroppedLinks links = droppedLinks(data);
    QTEST(links.Files, "files");
    QStringList webUrls;
    for (const QUrl& url : links.WebUrls) {
        webUrls.append(url.toString());
    }
    QTEST(webUrls, "webUrls");
    QTEST(links.MagnetText, "magnetText");
}

void LinkMimeDataTest::aDragComesBackAsTheSameLinks() {
    const QStringList links = {"magnet:?xt=urn:btih:aa&dn=a%20b&tr=", "magnet:?xt=urn:btih:bb"};
    const DroppedLinks back = droppedLinks(LinkMimeData(links));
    QCOMPARE(back.MagnetText, links.join('\n') + '\n');
    QVERIFY(back.Files.isEmpty() && back.WebUrls.isEmpty());
}

void LinkMimeDataTest::onlyAddressesAndTextMayHoldLinks() {
    QMimeData image;
    image.setImageData(QImage(2, 2, QImage::Format_RGB32));
    QVERIFY(!mayHoldLinks(image));
    QVERIFY(droppedLinks(image).isEmpty());
    QMimeData text;
    text.setText("x");
    QVERIFY(mayHoldLinks(text));
    QMimeData urls;
    urls.setUrls({QUrl("file:///tmp/x")});
    QVERIFY(mayHoldLinks(urls));
}

QTEST_MAIN(LinkMimeDataTest)
#include "LinkMimeDataTest.moc"
