#pragma once

#include "alphabet/Point3.h"

#include <cstdint>
#include <memory>
#include <string>
#include <sys/types.h>

// Largest number of glyphs taken from a file whose glyphs have no points: such
// glyphs cost no bytes in the file, so the header alone would set the count.
constexpr int maxEmptyGlyphs = 1000000;

// Most bytes of points read from a stream whose size can't be known in advance
// (a pipe or a device): an endless one would otherwise be read until memory
// runs out. 256 MiB holds the 26 letters at 860,000 points each.
constexpr long long maxUnsizedBytes = 256LL << 20;

// One opened glyph file (the format is in README.md). A regular file is mapped
// read-only: opening it costs the same whatever its size, and a glyph's pages
// are read when its points are. A pipe, a device or a file that can't be mapped
// is read into memory. Either way the counts, the glyphs and the messages are
// those that loadAlphabet documents.
class AlphabetFile {
public:
    // Where the points are held: mapped from a regular file where possible, or always in memory.
    enum class Storage { MapWherePossible, Memory };
    // The files taken: any that can be read, or regular files alone, which a
    // reader that must never wait (the viewer's GUI thread) asks for. A pipe
    // with no writer, a socket or a device is then refused without blocking.
    enum class Kinds { Any, RegularOnly };

    AlphabetFile() = default;
    ~AlphabetFile();
    AlphabetFile(AlphabetFile&& other) noexcept;
    AlphabetFile& operator=(AlphabetFile&& other) noexcept;
    AlphabetFile(const AlphabetFile&) = delete;
    AlphabetFile& operator=(const AlphabetFile&) = delete;

    // Opens `path` and holds its glyphs in place of those held so far, returning true.
    // A file that can't be opened prints "Unable to write file: <path>." on standard
    // output and returns false; the glyphs and counts held so far stay, and problem()
    // tells why. A bad header or a short file is reported on standard error and in problem(),
    // and so is a file of a kind `kinds` refuses.
    bool open(const char* path, Storage storage = Storage::MapWherePossible,
              Kinds kinds = Kinds::Any);

    int pointsPerGlyph() const { return perGlyph; }
    int glyphCount() const { return count; }
    // The glyph count the header announces (0 for a file without a whole header).
    std::int64_t announcedGlyphCount() const { return announced; }
    // The first of the points of glyph `index`, 0 <= index < glyphCount().
    const Point3* glyph(int index) const {
        return points + static_cast<std::size_t>(index) * static_cast<std::size_t>(perGlyph);
    }
    bool isMapped() const { return mapping != nullptr; }
    // Lets the memory that the mapped points of glyphs `first` to `first + count - 1`
    // hold go, once they are used: a pass over all glyphs then keeps few of them
    // resident. They are read from the file again when next touched. Does nothing
    // where the points are held in memory.
    void release(int first, int count) const;
    // True once a read found the mapped file shortened since it was opened; the lost
    // pages read as zeros.
    bool damaged() const;
    // Empty when the file was opened and loaded in full; otherwise why not, one sentence
    // (the text printed on standard error, without the file's name).
    const std::string& problem() const { return reason; }
    // False where no glyph was loaded and problem() says why: no such file, a bad
    // header, not one whole glyph. A file that announces no glyphs is a glyph file.
    bool holdsGlyphFile() const { return count > 0 || reason.empty(); }

    // Hands over the points held in memory (release with delete[]) and holds nothing
    // after; null where the points are mapped or none were loaded.
    Point3* releaseMemory();

private:
    void load(int descriptor, const char* path, Storage storage, Kinds kinds);
    bool refuseKind(mode_t mode, const char* path, Kinds kinds);
    bool map(int descriptor, std::int64_t glyphBytes);
    std::int64_t readSized(int descriptor, std::int64_t glyphs);
    std::int64_t readStream(int descriptor, const char* path);
    void report(const char* path, const char* format, ...) __attribute__((format(printf, 3, 4)));
    void swap(AlphabetFile& other) noexcept;

    int perGlyph = 0;
    int count = 0;
    std::int64_t announced = 0;
    const Point3* points = nullptr;
    std::unique_ptr<Point3[]> memory;
    void* mapping = nullptr;
    std::size_t mappedBytes = 0;
    int guardSlot = -1;
    std::string reason;
};
