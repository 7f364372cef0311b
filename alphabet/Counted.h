#pragma once

#include <cstdint>
#include <string>

// A count with its noun, singular for one: "1 glyph", "0 glyphs", "3 points".
// Every noun the messages count takes a plain "s".
inline std::string counted(std::int64_t count, const char* noun) {
    return std::to_string(count) + " " + noun + (count == 1 ? "" : "s");
}
