#include "messages/Message.h"

namespace lintervale {

TMessage::TMessage(const char* Format, std::vector<std::string> Args) {
    m_Parts.push_back({Format, std::move(Args), -1});
}

TMessage TMessage::Counted(const char* One, const char* Other, std::int64_t Count,
                           std::vector<std::string> Args) {
    TMessage message(Count == 1 ? One : Other, std::move(Args));
    message.m_Parts.back().Count = Count;
    return message;
}

TMessage TMessage::Verbatim(std::string Text) {
    TMessage message;
    message.m_Parts.push_back({nullptr, {std::move(Text)}, -1});
    return message;
}

TMessage& TMessage::operator+=(const TMessage& More) {
    m_Parts.insert(m_Parts.end(), More.m_Parts.begin(), More.m_Parts.end());
    return *this;
}

std::string TMessage::English() const {
    std::string text;
    for (const TMessagePart& part : m_Parts) {
        text += part.Format == nullptr ? part.Args.front()
                                       : FillPlaceholders(part.Format, part.Args, part.Count);
    }
    return text;
}

std::string FillPlaceholders(std::string_view Format, const std::vector<std::string>& Args,
                             std::int64_t Count) {
    std::string text;
    text.reserve(Format.size());
    for (std::size_t i = 0; i < Format.size(); ++i) {
        const char next = i + 1 < Format.size() ? Format[i + 1] : '\0';
        if (Format[i] == '%' && next >= '1' && next <= '9' &&
            static_cast<std::size_t>(next - '1') < Args.size()) {
            text += Args[static_cast<std::size_t>(next - '1')];
            ++i;
        } else if (Format[i] == '%' && next == 'n' && Count >= 0) {
            text += std::to_string(Count);
            ++i;
        } else {
            text += Format[i];
        }
    }
    return text;
}

} // namespace lintervale
