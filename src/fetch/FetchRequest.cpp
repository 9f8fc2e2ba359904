#include "fetch/FetchRequest.h"

namespace lintervale {

TFetchRequest FetchRequestOf(const TMagnetLink& Link, int TimeLimitSeconds) {
    TFetchRequest request;
    if (Link.Hash.size() == 40) {
        request.HashV1 = Link.Hash;
    }
    request.HashV2 = Link.HashV2;
    request.Name = Link.Name;
    request.Trackers = Link.Trackers;
    request.Peers = Link.Peers;
    request.TimeLimitSeconds = TimeLimitSeconds;
    return request;
}

TMessage FetchFailureMessage(const TFetchEvent& Event) {
    switch (Event.Failure) {
    case TFetchFailure::TimeLimit:
        if (Event.TimeLimitSeconds % 60 == 0) {
            return TMessage::Counted(
                TranslatableCounted("Message", "no peer sent the contents within %n minute"),
                TranslatableCounted("Message", "no peer sent the contents within %n minutes"),
                Event.TimeLimitSeconds / 60);
        }
        return TMessage::Counted(
            TranslatableCounted("Message", "no peer sent the contents within %n second"),
            TranslatableCounted("Message", "no peer sent the contents within %n seconds"),
            Event.TimeLimitSeconds);
    case TFetchFailure::Cancelled:
        return TMessage(Translatable("Message", "fetching was stopped"));
    case TFetchFailure::ShutDown:
        return TMessage(Translatable("Message", "fetching ended as the program closed"));
    case TFetchFailure::BadRequest:
        return TMessage(Translatable("Message", "the link cannot be fetched: %1"), {Event.Detail});
    case TFetchFailure::Mismatch:
        return TMessage(
            Translatable("Message", "the contents received do not have the link's hash"));
    case TFetchFailure::Engine:
        break;
    }
    return TMessage(Translatable("Message", "libtorrent failed: %1"), {Event.Detail});
}

} // namespace lintervale
