#pragma once

// Telling text, and which text, from its first bytes.

#include <cstddef>
#include <string>
#include <string_view>

enum class Utf16 { No, LittleEndian, BigEndian };

// UTF-16 by its byte-order mark, or by the NUL byte that mostly-ASCII UTF-16 puts
// in the same half of nearly every pair of bytes.
Utf16 utf16Order(std::string_view bytes);

// The length of a UTF-8 byte-order mark at the start of `bytes`: 3, or 0 where there is none.
std::size_t utf8MarkLength(std::string_view bytes);

// True where `start`, the first bytes of a file, read as text: UTF-16, or bytes
// without control characters other than tabs, line ends and form feeds.
bool looksLikeText(std::string_view start);

// The UTF-8 bytes of character `c`.
std::string utf8Of(char32_t c);

// A character as messages show it: in quotes, or U+XXXX where it is not printable.
std::string shownChar(char32_t c);
