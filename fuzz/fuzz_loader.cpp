// Fuzz target of the glyph-file loader. Each input is loaded twice, once as a
// regular file (a memfd) and once through a pipe, where the loader can't see
// the size in advance. Both must load the same glyphs, byte for byte what the
// file holds, within the counts that the header and the file size allow; every
// loaded glyph then gets a camera, which must hold no NaN or infinity. The
// file is also opened as an AlphabetFile, which maps it, and must agree.
#include "FuzzCheck.h"
#include "alphabet/AlphabetFile.h"
#include "alphabet/AlphabetLoader.h"
#include "geometry/GlyphCamera.h"

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <string>
#include <sys/mman.h>
#include <unistd.h>

namespace {

struct Loaded {
    std::unique_ptr<Point3[]> block;
    int pointsPerGlyph = -1;
    int glyphCount = -1;
};

Loaded loadDescriptor(int descriptor) {
    const std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    Loaded result;
    result.block.reset(loadAlphabet(path.c_str(), result.pointsPerGlyph, result.glyphCount));
    return result;
}

// The memfd holding the current input, written anew for each.
int fileOf(const std::uint8_t* data, std::size_t size) {
    static const int file = memfd_create("glyphs", 0);
    FUZZ_REQUIRE(file >= 0);
    FUZZ_REQUIRE(ftruncate(file, 0) == 0);
    FUZZ_REQUIRE(pwrite(file, data, size, 0) == static_cast<ssize_t>(size));
    return file;
}

// The mapped file holds what loadAlphabet reads from the same file, and has a
// problem to tell exactly where it holds fewer glyphs than announced.
void checkMappedAgrees(int descriptor, const Loaded& loaded, const std::uint8_t* data,
                       std::size_t size) {
    const std::string path = "/proc/self/fd/" + std::to_string(descriptor);
    AlphabetFile file;
    FUZZ_REQUIRE(file.open(path.c_str()));
    FUZZ_REQUIRE(file.pointsPerGlyph() == loaded.pointsPerGlyph);
    FUZZ_REQUIRE(file.glyphCount() == loaded.glyphCount);
    FUZZ_REQUIRE(file.isMapped() == (loaded.pointsPerGlyph > 0 && loaded.glyphCount > 0));
    std::int32_t header[2] = {0, 0};
    if (size >= 8)
        std::memcpy(header, data, sizeof header);
    FUZZ_REQUIRE(file.announcedGlyphCount() == header[1]);
    FUZZ_REQUIRE(file.problem().empty() ==
                 (size >= 8 && header[0] >= 0 && header[1] == loaded.glyphCount));
    const std::size_t points = std::size_t(loaded.pointsPerGlyph) * std::size_t(loaded.glyphCount);
    if (points > 0)
        FUZZ_REQUIRE(std::memcmp(file.glyph(0), loaded.block.get(), points * sizeof(Point3)) == 0);
}

// The pipe holds the whole input (64 KiB by default, more than -max_len), so no
// second thread is needed to feed it.
Loaded loadAsPipe(const std::uint8_t* data, std::size_t size) {
    int ends[2];
    FUZZ_REQUIRE(pipe(ends) == 0);
    FUZZ_REQUIRE(write(ends[1], data, size) == static_cast<ssize_t>(size));
    close(ends[1]);
    Loaded result = loadDescriptor(ends[0]);
    close(ends[0]);
    return result;
}

// What the loader promises for a file of these bytes.
void checkAgainstBytes(const Loaded& loaded, const std::uint8_t* data, std::size_t size) {
    if (size < 8) {
        FUZZ_REQUIRE(loaded.pointsPerGlyph == 0 && loaded.glyphCount == 0 && !loaded.block);
        return;
    }
    std::int32_t header[2];
    std::memcpy(header, data, sizeof header);
    if (header[0] < 0 || header[1] < 0) {
        FUZZ_REQUIRE(loaded.pointsPerGlyph == 0 && loaded.glyphCount == 0 && !loaded.block);
        return;
    }
    FUZZ_REQUIRE(loaded.block);
    FUZZ_REQUIRE(loaded.pointsPerGlyph == header[0]);
    if (header[0] == 0) {
        FUZZ_REQUIRE(loaded.glyphCount == std::min(header[1], maxEmptyGlyphs));
        return;
    }
    const std::int64_t glyphBytes = 12 * std::int64_t(header[0]);
    const std::int64_t whole = std::int64_t(size - 8) / glyphBytes;
    FUZZ_REQUIRE(loaded.glyphCount == std::min<std::int64_t>(header[1], whole));
    FUZZ_REQUIRE(std::memcmp(loaded.block.get(), data + 8,
                             static_cast<std::size_t>(loaded.glyphCount * glyphBytes)) == 0);
}

void checkCameras(const Loaded& loaded) {
    // Glyphs without points are all alike (up to a million of them): a few stand for all.
    const int checked =
        loaded.pointsPerGlyph > 0 ? loaded.glyphCount : std::min(loaded.glyphCount, 16);
    for (int i = 0; i < checked; ++i) {
        const Point3* glyph = loaded.block.get() + std::size_t(i) * loaded.pointsPerGlyph;
        const GlyphCamera camera = placeGlyphCamera(glyph, loaded.pointsPerGlyph);
        FUZZ_REQUIRE(allFinite(&camera.centroid.x, 3));
        FUZZ_REQUIRE(allFinite(&camera.eye.x, 3));
        FUZZ_REQUIRE(allFinite(&camera.up.x, 3));
        FUZZ_REQUIRE(camera.visible == (camera.problem != GlyphProblem::NoPoints &&
                                        camera.problem != GlyphProblem::NonFinite &&
                                        camera.problem != GlyphProblem::OutsideDepthRange));
        if (!camera.visible)
            continue;
        // gluLookAt needs an eye away from the origin and not along the up vector.
        const Point3 e = camera.eye, u = camera.up;
        const double side[3] = {double(e.y) * u.z - double(e.z) * u.y,
                                double(e.z) * u.x - double(e.x) * u.z,
                                double(e.x) * u.y - double(e.y) * u.x};
        FUZZ_REQUIRE(side[0] != 0 || side[1] != 0 || side[2] != 0);
        const double up = std::sqrt(double(u.x) * u.x + double(u.y) * u.y + double(u.z) * u.z);
        FUZZ_REQUIRE(std::fabs(up - 1) < 1e-6);
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const int descriptor = fileOf(data, size);
    const Loaded file = loadDescriptor(descriptor);
    checkAgainstBytes(file, data, size);
    checkMappedAgrees(descriptor, file, data, size);
    checkCameras(file);
    if (size <= 65536) {
        const Loaded piped = loadAsPipe(data, size);
        checkAgainstBytes(piped, data, size);
    }
    return 0;
}
