#pragma once

// What the list's commands need of the window around them: the options they read, the boxes
// they show, the status line, and the desktop's services. The window implements it; tests
// implement it with a recorder.
//
// Texts for the user come as messages (messages/Message.h), which the window shows in the
// user's language.

#include "messages/Message.h"

#include <functional>
#include <string>

namespace lintervale {

class TListHost {
public:
    virtual ~TListHost() = default;

    // The option check boxes.
    virtual bool QuietMode() const = 0;
    virtual bool FetchExtra() const = 0;
    virtual bool AutoOpen() const = 0;

    // A plain message box with an OK button.
    virtual void ShowNotice(const TMessage& Text) = 0;
    // An error box with an OK button.
    virtual void ShowError(const TMessage& Text) = 0;
    // A question with Yes and No, No the default; true for Yes.
    virtual bool Confirm(const TMessage& Text) = 0;
    // A question with Yes and OK whose answer does not matter.
    virtual void AskHelp(const TMessage& Text) = 0;

    // The empty message empties the status line.
    virtual void SetStatusText(const TMessage& Text) = 0;

    // Hands a link or address to the desktop; the result is not examined.
    virtual void OpenUrl(const std::string& Url) = 0;
    virtual void SetClipboardText(const std::string& Text) = 0;
    virtual void PlaySound() = 0;
    // Fetches further trackers for the selected rows.
    virtual void FetchTrackers() = 0;
    // Runs Action once the fetch that FetchTrackers started for Hash has ended (answered,
    // failed or timed out). A host whose fetch ends inside FetchTrackers runs it at once.
    // The kept .torrent file of the torrent whose hash is Hash (its row named Name) into Bytes;
    // false when none is kept, or it cannot be read. A host that keeps none says none.
    virtual bool KeptTorrent(const std::string& Hash, const std::string& Name, std::string& Bytes) {
        (void)Hash;
        (void)Name;
        (void)Bytes;
        return false;
    }
    virtual void WhenFetched(const std::string& Hash, std::function<void()> Action) {
        (void)Hash;
        Action();
    }
};

} // namespace lintervale
