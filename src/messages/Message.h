#pragma once

// A text for the user, as a value the window can show in the user's language: the core says
// which text and with which values, and stays free of any translation system.
//
// A message is a run of parts. A part is either one of the program's own texts, an English
// format in which %1 .. %9 stand for its arguments (and %n for its count), or verbatim text
// (a hash, a file name, a separator) that is shown as it is. English() fills in the formats
// as they stand: the words the command line prints and the core's tests read. The window
// looks each format up in its translations, in the context kMessageContext, and fills in the
// same arguments.
//
// Every format is written where it is used, wrapped in Translatable (or TranslatableCounted),
// which lupdate reads as QT_TRANSLATE_NOOP (QT_TRANSLATE_N_NOOP), so that the translations
// hold every text of the core.

#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

namespace lintervale {

inline constexpr const char* kMessageContext = "Message";

// Marks Text as one the window translates in the context kMessageContext, which is the only
// context the core may name (anything else does not compile).
consteval const char* Translatable(std::string_view Context, const char* Text) {
    if (Context != std::string_view(kMessageContext)) {
        throw "the core's texts are translated in the context \"Message\"";
    }
    return Text;
}
// The same for a text whose translation may vary with its count (%n).
consteval const char* TranslatableCounted(std::string_view Context, const char* Text) {
    return Translatable(Context, Text);
}

struct TMessagePart {
    // A Translatable text; nullptr for a verbatim part, whose text is Args[0].
    const char* Format = nullptr;
    std::vector<std::string> Args;
    // What %n stands for; -1 when the format has no count.
    std::int64_t Count = -1;
};

class TMessage {
public:
    // The empty message (an empty status line).
    TMessage() = default;
    // One of the program's texts, with the values of %1, %2 ...
    explicit TMessage(const char* Format, std::vector<std::string> Args = {});
    // A text with a count: One (for 1) or Other, both marked with TranslatableCounted.
    static TMessage Counted(const char* One, const char* Other, std::int64_t Count,
                            std::vector<std::string> Args = {});
    // Text shown as it is, in every language.
    static TMessage Verbatim(std::string Text);

    TMessage& operator+=(const TMessage& More);
    friend TMessage operator+(TMessage First, const TMessage& More) { return First += More; }

    const std::vector<TMessagePart>& Parts() const { return m_Parts; }
    bool Empty() const { return m_Parts.empty(); }
    std::string English() const;

private:
    std::vector<TMessagePart> m_Parts;
};

// Format with %1 .. %9 replaced by Args[0] .. Args[8] and %n by Count (when it is not -1), in
// one pass: what an argument holds is never read as a placeholder. A placeholder without an
// argument, and any other %, stay as they are.
std::string FillPlaceholders(std::string_view Format, const std::vector<std::string>& Args,
                             std::int64_t Count = -1);

// A failure whose message is a TMessage; what() holds its English.
class EMessageError : public std::runtime_error {
public:
    explicit EMessageError(TMessage Message)
        : std::runtime_error(Message.English()), m_Message(std::move(Message)) {}
    const TMessage& Message() const { return m_Message; }

private:
    TMessage m_Message;
};

} // namespace lintervale
