#pragma once

// Telling text, and which text, from its first bytes; UTF-8 read and written;
// characters as messages show them.

#include <cstddef>
#include <string>
#include <string_view>

enum class Utf16 { No, LittleEndian, BigEndian };

// The UTF-8 byte-order mark.
constexpr std::string_view utf8Mark = "\xEF\xBB\xBF";

// UTF-16 by its byte-order mark, or by the NUL byte that mostly-ASCII UTF-16 puts
// in the same half of nearly every pair of bytes.
Utf16 utf16Order(std::string_view bytes);

// The length of a UTF-8 byte-order mark at the start of `bytes`: 3, or 0 where there is none.
std::size_t utf8MarkLength(std::string_view bytes);

// True where `start`, the first bytes of a file, read as text: UTF-16, or bytes
// without control characters other than tabs, line ends and form feeds.
bool looksLikeText(std::string_view start);

// Appends the characters of UTF-8 `text` to `out`; false at the first malformed
// sequence (overlong, a surrogate, beyond U+10FFFF or cut short).
bool decodeUtf8(std::string_view text, std::u32string& out);

// The UTF-8 bytes of `c`.
std::string encodeUtf8(char32_t c);

// Which characters a message shows in quotes; the others it shows as U+XXXX.
enum class Quoted {
    Printable,   // all but control characters
    VisibleAscii // '!' to '~' alone: for UTF-16 units, which may be half a pair
};

// A character as messages show it: 'A', or U+0007.
std::string shownChar(char32_t c, Quoted quoted = Quoted::Printable);
