#pragma once

// Why a torrent was refused, as a value: a code and the numbers that go with it (where in the
// file, which file entry, which limit, which key, what was found there). DescribeCause gives
// the English words, CauseMessage the same words as a message the window translates. The code
// names the kind of fault only, so two files broken the same way give the same cause with
// other numbers.

#include "messages/Message.h"

#include <cstdint>
#include <string>
#include <string_view>

namespace lintervale {

enum class TCauseCode : std::uint8_t {
    None,
    EmptyData,             // the file is empty
    NotBencoded,           // not bencoded data at byte Offset
    StringPastEnd,         // the string at byte Offset runs past the end of the file
    KeyNotString,          // the dictionary key at byte Offset is not a string
    NestingTooDeep,        // nesting deeper than Limit
    TooManyValues,         // more than Limit values
    TooLarge,              // the file is larger than Limit bytes
    TopLevelNotDictionary, // the top level is Found, not a dictionary
    NoInfo,                // no info dictionary
    MissingKey,            // the info dictionary has no Key
    NoLengthNorFiles,      // the info dictionary has neither length nor files
    WrongType,             // the Key (of file Index) at byte Offset is Found, not Expected
    PathElementWrongType,  // an element of the path of file Index at byte Offset is Found
    FileNotDictionary,     // file Index at byte Offset is Found, not a dictionary
    FileWithoutLength,     // file Index has no length
    FileWithoutPath,       // file Index has no path
    InfoOutsideFile,       // the info value's position lies outside the file
    TreeNodeNotDictionary, // the file tree's node at byte Offset is Found, not a dictionary
    TreeFileWithoutLength, // the file at byte Offset of the file tree has no whole-number length
    TreeNegativeLength,    // the file at byte Offset of the file tree has a negative length
    TreeFileAndFolder,     // the file tree's node at byte Offset is a file and a folder at once
    TreeTooLarge,          // the file tree holds more than any torrent can
    OutOfMemory,           // not enough memory
    NamedPipe,             // the name is a named pipe, not a regular file
    DeviceFile,            // the name is a device, not a regular file
    NotRegularFile,        // the name is something else that is not a regular file
};

// What a value in the file is.
enum class TValueKind : std::uint8_t { String, Integer, List, Dictionary };

struct TLoadCause {
    TCauseCode Code = TCauseCode::None;
    std::int64_t Offset = -1; // the byte in the file, counted from 0; -1 when none applies
    std::int64_t Index = -1;  // the entry of "files", counted from 0; -1 when none applies
    std::int64_t Limit = 0;
    const char* Key = ""; // the metainfo key concerned (a literal)
    TValueKind Found = TValueKind::String;
    TValueKind Expected = TValueKind::String;
};

// The cause in plain English words, without parentheses, e.g. "the string at byte 1,234
// runs past the end of the file". Empty for TCauseCode::None.
std::string DescribeCause(const TLoadCause& Cause);
// The same words as a message, which the window shows in the user's language.
TMessage CauseMessage(const TLoadCause& Cause);

// The message followed by the cause in parentheses (the message alone when there is none).
TMessage MessageWithCause(TMessage Message, const TLoadCause& Cause);
std::string MessageWithCause(std::string_view Message, const TLoadCause& Cause);

// A size in words: "%1 MiB" for whole mebibytes, "%1 bytes" otherwise.
TMessage SizeMessage(std::int64_t Bytes);

// A whole number with a comma between groups of three digits: 1234567 as "1,234,567".
std::string WithThousands(std::int64_t Number);

} // namespace lintervale
