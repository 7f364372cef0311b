#pragma once

// The text to write: UTF-8 read into lines of characters.

#include <string>
#include <string_view>
#include <vector>

// Appends the lines of `text` to `lines`: a line break ("\n" or "\r\n") starts
// a new line; with `fromFile` the last line break ends the last line instead.
// A UTF-8 byte-order mark at the start is skipped. UTF-16 (with the iconv
// command that converts it), invalid UTF-8 (with its byte offset) and control
// characters other than the line break are refused: false with `error` set,
// `lines` as it was.
bool readTextLines(std::string_view text, bool fromFile, std::vector<std::u32string>& lines,
                   std::string& error);
