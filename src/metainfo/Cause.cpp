#include "metainfo/Cause.h"

namespace lintervale {

namespace {

const char* KindText(TValueKind kind) {
    switch (kind) {
    case TValueKind::String:
        return "a string";
    case TValueKind::Integer:
        return "an integer";
    case TValueKind::List:
        return "a list";
    case TValueKind::Dictionary:
        return "a dictionary";
    }
    return "a value";
}

std::string AtByte(const TLoadCause& cause) {
    return cause.Offset >= 0 ? " at byte " + WithThousands(cause.Offset) : std::string();
}

std::string FileNumber(const TLoadCause& cause) {
    return "file " + WithThousands(cause.Index);
}

std::string FoundNot(const TLoadCause& cause) {
    return std::string(" is ") + KindText(cause.Found) + ", not " + KindText(cause.Expected);
}

std::string SizeLimit(std::int64_t bytes) {
    constexpr std::int64_t mebibyte = std::int64_t{1} << 20;
    return bytes % mebibyte == 0 ? WithThousands(bytes / mebibyte) + " MiB"
                                 : WithThousands(bytes) + " bytes";
}

} // namespace

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

std::string DescribeCause(const TLoadCause& Cause) {
    const std::string key = Cause.Key;
    switch (Cause.Code) {
    case TCauseCode::None:
        return std::string();
    case TCauseCode::EmptyData:
        return "the file is empty";
    case TCauseCode::NotBencoded:
        return "not bencoded data" + AtByte(Cause);
    case TCauseCode::StringPastEnd:
        return "the string" + AtByte(Cause) + " runs past the end of the file";
    case TCauseCode::KeyNotString:
        return "the dictionary key" + AtByte(Cause) + " is not a string";
    case TCauseCode::NestingTooDeep:
        return "nesting deeper than " + WithThousands(Cause.Limit);
    case TCauseCode::TooManyValues:
        return "more than " + WithThousands(Cause.Limit) + " values";
    case TCauseCode::TooLarge:
        return "the file is larger than " + SizeLimit(Cause.Limit);
    case TCauseCode::TopLevelNotDictionary:
        return std::string("the top level is ") + KindText(Cause.Found) + ", not a dictionary";
    case TCauseCode::NoInfo:
        return "no info dictionary";
    case TCauseCode::MissingKey:
        return "the info dictionary has no " + key;
    case TCauseCode::NoLengthNorFiles:
        return "the info dictionary has neither length nor files";
    case TCauseCode::WrongType:
        return "the " + key + (Cause.Index >= 0 ? " of " + FileNumber(Cause) : " value") +
               AtByte(Cause) + FoundNot(Cause);
    case TCauseCode::PathElementWrongType:
        return "an element of the path of " + FileNumber(Cause) + AtByte(Cause) + FoundNot(Cause);
    case TCauseCode::FileNotDictionary:
        return FileNumber(Cause) + AtByte(Cause) + FoundNot(Cause);
    case TCauseCode::FileWithoutLength:
        return FileNumber(Cause) + " has no length";
    case TCauseCode::FileWithoutPath:
        return FileNumber(Cause) + " has no path";
    case TCauseCode::InfoOutsideFile:
        return "the info value's position lies outside the file";
    case TCauseCode::TreeNodeNotDictionary:
        return "the file tree's node" + AtByte(Cause) + FoundNot(Cause);
    case TCauseCode::TreeFileWithoutLength:
        return "the file" + AtByte(Cause) + " of the file tree has no whole-number length";
    case TCauseCode::TreeNegativeLength:
        return "the file" + AtByte(Cause) + " of the file tree has a negative length";
    case TCauseCode::TreeFileAndFolder:
        return "the file tree's node" + AtByte(Cause) + " is a file and a folder at once";
    case TCauseCode::TreeTooLarge:
        return "the file tree holds more than any torrent can";
    case TCauseCode::OutOfMemory:
        return "not enough memory";
    }
    return std::string();
}

std::string MessageWithCause(std::string_view Message, const TLoadCause& Cause) {
    const std::string cause = DescribeCause(Cause);
    std::string text(Message);
    if (!cause.empty()) {
        text += " (" + cause + ")";
    }
    return text;
}

} // namespace lintervale
