#include "metainfo/Cause.h"

namespace lintervale {

namespace {

TMessage KindText(TValueKind kind) {
    switch (kind) {
    case TValueKind::String:
        return TMessage(Translatable("Message", "a string"));
    case TValueKind::Integer:
        return TMessage(Translatable("Message", "an integer"));
    case TValueKind::List:
        return TMessage(Translatable("Message", "a list"));
    case TValueKind::Dictionary:
        return TMessage(Translatable("Message", "a dictionary"));
    }
    return TMessage(Translatable("Message", "a value"));
}

TMessage AtByte(const TLoadCause& cause) {
    return cause.Offset >= 0
               ? TMessage(Translatable("Message", " at byte %1"), {WithThousands(cause.Offset)})
               : TMessage();
}

TMessage FileNumber(const TLoadCause& cause) {
    return TMessage(Translatable("Message", "file %1"), {WithThousands(cause.Index)});
}

TMessage FoundNot(const TLoadCause& cause) {
    return TMessage(Translatable("Message", " is ")) + KindText(cause.Found) +
           TMessage(Translatable("Message", ", not ")) + KindText(cause.Expected);
}

} // namespace

TMessage SizeMessage(std::int64_t Bytes) {
    constexpr std::int64_t mebibyte = std::int64_t{1} << 20;
    return Bytes % mebibyte == 0
               ? TMessage(Translatable("Message", "%1 MiB"), {WithThousands(Bytes / mebibyte)})
               : TMessage(Translatable("Message", "%1 bytes"), {WithThousands(Bytes)});
}

std::string WithThousands(std::int64_t Number) {
    const bool negative = Number < 0;
    std::string digits = std::to_string(Number);
    if (negative) {
        digits.erase(0, 1);
    }
    for (auto at = static_cast<std::ptrdiff_t>(digits.size()) - 3; at > 0; at -= 3) {
        digits.insert(static_cast<std::size_t>(at), 1, ',');
    }
    return negative ? "-" + digits : digits;
}

TMessage CauseMessage(const TLoadCause& Cause) {
    const std::string key = Cause.Key;
    switch (Cause.Code) {
    case TCauseCode::None:
        return TMessage();
    case TCauseCode::EmptyData:
        return TMessage(Translatable("Message", "the file is empty"));
    case TCauseCode::NotBencoded:
        return TMessage(Translatable("Message", "not bencoded data")) + AtByte(Cause);
    case TCauseCode::StringPastEnd:
        return TMessage(Translatable("Message", "the string")) + AtByte(Cause) +
               TMessage(Translatable("Message", " runs past the end of the file"));
    case TCauseCode::KeyNotString:
        return TMessage(Translatable("Message", "the dictionary key")) + AtByte(Cause) +
               TMessage(Translatable("Message", " is not a string"));
    case TCauseCode::NestingTooDeep:
        return TMessage(Translatable("Message", "nesting deeper than %1"),
                        {WithThousands(Cause.Limit)});
    case TCauseCode::TooManyValues:
        return TMessage(Translatable("Message", "more than %1 values"),
                        {WithThousands(Cause.Limit)});
    case TCauseCode::TooLarge:
        return TMessage(Translatable("Message", "the file is larger than ")) +
               SizeMessage(Cause.Limit);
    case TCauseCode::TopLevelNotDictionary:
        return TMessage(Translatable("Message", "the top level is ")) + KindText(Cause.Found) +
               TMessage(Translatable("Message", ", not a dictionary"));
    case TCauseCode::NoInfo:
        return TMessage(Translatable("Message", "no info dictionary"));
    case TCauseCode::MissingKey:
        return TMessage(Translatable("Message", "the info dictionary has no %1"), {key});
    case TCauseCode::NoLengthNorFiles:
        return TMessage(
            Translatable("Message", "the info dictionary has neither length nor files"));
    case TCauseCode::WrongType:
        return (Cause.Index >= 0 ? TMessage(Translatable("Message", "the %1 of file %2"),
                                            {key, WithThousands(Cause.Index)})
                                 : TMessage(Translatable("Message", "the %1 value"), {key})) +
               AtByte(Cause) + FoundNot(Cause);
    case TCauseCode::PathElementWrongType:
        return TMessage(Translatable("Message", "an element of the path of file %1"),
                        {WithThousands(Cause.Index)}) +
               AtByte(Cause) + FoundNot(Cause);
    case TCauseCode::FileNotDictionary:
        return FileNumber(Cause) + AtByte(Cause) + FoundNot(Cause);
    case TCauseCode::FileWithoutLength:
        return TMessage(Translatable("Message", "file %1 has no length"),
                        {WithThousands(Cause.Index)});
    case TCauseCode::FileWithoutPath:
        return TMessage(Translatable("Message", "file %1 has no path"),
                        {WithThousands(Cause.Index)});
    case TCauseCode::InfoOutsideFile:
        return TMessage(Translatable("Message", "the info value's position lies outside the file"));
    case TCauseCode::TreeNodeNotDictionary:
        return TMessage(Translatable("Message", "the file tree's node")) + AtByte(Cause) +
               FoundNot(Cause);
    case TCauseCode::TreeFileWithoutLength:
        return TMessage(Translatable("Message", "the file")) + AtByte(Cause) +
               TMessage(Translatable("Message", " of the file tree has no whole-number length"));
    case TCauseCode::TreeNegativeLength:
        return TMessage(Translatable("Message", "the file")) + AtByte(Cause) +
               TMessage(Translatable("Message", " of the file tree has a negative length"));
    case TCauseCode::TreeFileAndFolder:
        return TMessage(Translatable("Message", "the file tree's node")) + AtByte(Cause) +
               TMessage(Translatable("Message", " is a file and a folder at once"));
    case TCauseCode::TreeTooLarge:
        return TMessage(Translatable("Message", "the file tree holds more than any torrent can"));
    case TCauseCode::OutOfMemory:
        return TMessage(Translatable("Message", "not enough memory"));
    case TCauseCode::NamedPipe:
        return TMessage(Translatable("Message", "a named pipe, not a regular file"));
    case TCauseCode::DeviceFile:
        return TMessage(Translatable("Message", "a device, not a regular file"));
    case TCauseCode::NotRegularFile:
        return TMessage(Translatable("Message", "not a regular file"));
    }
    return TMessage();
}

std::string DescribeCause(const TLoadCause& Cause) {
    return CauseMessage(Cause).English();
}

TMessage MessageWithCause(TMessage Message, const TLoadCause& Cause) {
    if (Cause.Code != TCauseCode::None) {
        Message += TMessage::Verbatim(" (") + CauseMessage(Cause) + TMessage::Verbatim(")");
    }
    return Message;
}

std::string MessageWithCause(std::string_view Message, const TLoadCause& Cause) {
    return MessageWithCause(TMessage::Verbatim(std::string(Message)), Cause).English();
}

} // namespace lintervale
