#include "network/ContentsFetcher.h"

#include "fetch/FetchModule.h"
#include "fetch/FetchRequest.h"
#include "widgets/Translations.h"

#include <QMetaObject>

namespace lintervale {

ContentsFetcher::ContentsFetcher(QObject* Parent)
    : ContentsFetcher(
          [](const TFetchSettings& settings, TFetchHandler handler, TMessage& error) {
              return MakeFetchSession(settings, std::move(handler), error);
          },
          Parent) {}

ContentsFetcher::ContentsFetcher(SessionMaker Maker, QObject* Parent)
    : QObject(Parent), m_Maker(std::move(Maker)) {}

ContentsFetcher::~ContentsFetcher() {
    // No event comes from the session once this returns; what it posted before is dropped
    // with this object.
    m_Session.reset();
}

QString ContentsFetcher::hashOf(const TFetchRequest& Request) {
    return QString::fromStdString(Request.HashV1.empty() ? Request.HashV2 : Request.HashV1);
}

void ContentsFetcher::setSettings(const TFetchSettings& Settings) {
    m_Settings = Settings;
    m_SettingsChanged = m_Session != nullptr;
}

bool ContentsFetcher::makeSession(QString& Error) {
    if (m_Session && m_SettingsChanged && m_Ids.isEmpty()) {
        m_Session.reset();
    }
    if (m_Session) {
        return true;
    }
    m_SettingsChanged = false;
    // The session's thread hands each event to the event loop; the session is gone before
    // this object is, so the events never outlive it.
    TFetchHandler handler = [this](TFetchEvent event) {
        auto shared = std::make_shared<const TFetchEvent>(std::move(event));
        QMetaObject::invokeMethod(
            this, [this, shared] { deliver(*shared); }, Qt::QueuedConnection);
    };
    TMessage error;
    m_Session = m_Maker(m_Settings, std::move(handler), error);
    if (!m_Session) {
        Error = messageText(error);
    }
    return m_Session != nullptr;
}

void ContentsFetcher::fetch(const TFetchRequest& Request) {
    const QString hash = hashOf(Request);
    if (m_Ids.contains(hash)) {
        return;
    }
    QString error;
    if (!makeSession(error)) {
        failLater(hash, error);
        return;
    }
    const TFetchId id = m_Session->Start(Request);
    m_Ids.insert(hash, id);
    m_Hashes.insert(id, hash);
}

void ContentsFetcher::cancel(const QString& Hash) {
    const auto id = m_Ids.constFind(Hash);
    if (id == m_Ids.constEnd()) {
        return;
    }
    m_Session->Cancel(*id);
    m_Hashes.remove(*id);
    m_Ids.erase(id);
}

void ContentsFetcher::cancelAll() {
    if (m_Session) {
        m_Session->CancelAll();
    }
    m_Ids.clear();
    m_Hashes.clear();
}

void ContentsFetcher::deliver(const TFetchEvent& Event) {
    // An event of a fetch that was cancelled meanwhile has nobody to go to.
    const auto found = m_Hashes.constFind(Event.Id);
    if (found == m_Hashes.constEnd()) {
        return;
    }
    const QString hash = *found;
    if (Event.Kind == TFetchEvent::TKind::Progress) {
        emit progress(hash, Event.Progress.Peers, Event.Progress.PartsPerMillion);
        return;
    }
    m_Hashes.erase(found);
    m_Ids.remove(hash);
    if (Event.Kind == TFetchEvent::TKind::Done) {
        emit fetched(hash, QByteArray::fromStdString(Event.Torrent));
    } else {
        emit failed(hash, messageText(FetchFailureMessage(Event)));
    }
}

void ContentsFetcher::failLater(const QString& Hash, const QString& Message) {
    QMetaObject::invokeMethod(
        this, [this, Hash, Message] { emit failed(Hash, Message); }, Qt::QueuedConnection);
}

} // namespace lintervale
