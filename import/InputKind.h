#pragma once

// What a file is where it is not a glyph file, told from its bytes alone, and
// the one wording that every command and the viewer use for it.

#include <cstdint>
#include <string>
#include <string_view>

enum class InputKind { Text, Hershey, Svg };

// The kind `data` reads as: XML is SVG, a Hershey record is a Hershey font, else text.
InputKind kindOf(std::string_view data);

// What the first bytes of a file say about it.
struct FileSniff {
    // The header announces more than the file holds and the first bytes read
    // as text: points, a Hershey font or SVG, which import makes a glyph file of.
    bool looksLikeText = false;
    InputKind kind = InputKind::Text; // where it looks like text
    // The header is sound, the file holds every glyph it announces, and its
    // start is no text: a glyph file already.
    bool glyphFile = false;
};

// Bytes of a file's start that sniffFile needs.
constexpr std::size_t sniffBytes = 512;

// Tells from `start`, a file's first sniffBytes bytes (or all of a shorter
// one), and its size in bytes what the file is.
FileSniff sniffFile(std::string_view start, std::int64_t fileSize);

// How messages name a kind: "text", "a Hershey font" or "SVG".
const char* kindName(InputKind kind);

// `path` as a shell takes it back: as it is where that is safe, else in single quotes.
std::string shellWord(const std::string& path);

// "PATH looks like SVG, not a glyph file; make a glyph file from it with:
// alphabet-tool import PATH -o OUT.alphabet".
std::string importAdvice(const std::string& path, InputKind kind);
