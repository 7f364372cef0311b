#include "alphabet/AlphabetWriter.h"

#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstring>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::string describe(const std::string& path, const char* what) {
    return path + ": " + what + " (" + std::strerror(errno) + ")";
}

} // namespace

bool writeAlphabet(const std::string& path, int pointsPerGlyph, int glyphCount,
                   const Point3* points, std::string& error) {
    if (pointsPerGlyph < 0 || glyphCount < 0) {
        error = path + ": negative glyph counts can't be written";
        return false;
    }
    std::string temporary = path + ".XXXXXX";
    int descriptor = mkstemp(temporary.data());
    if (descriptor < 0) {
        error = describe(path, "can't create a temporary file beside it");
        return false;
    }
    FILE* out = fdopen(descriptor, "wb");
    if (!out) {
        error = describe(path, "can't open the temporary file");
        close(descriptor);
        unlink(temporary.c_str());
        return false;
    }
    const std::int32_t header[2] = {pointsPerGlyph, glyphCount};
    const std::size_t pointCount = static_cast<std::size_t>(pointsPerGlyph) * glyphCount;
    bool written =
        std::fwrite(header, sizeof header, 1, out) == 1 &&
        (pointCount == 0 || std::fwrite(points, sizeof(Point3), pointCount, out) == pointCount);
    written = (std::fflush(out) == 0) && written;
    written = (fsync(fileno(out)) == 0) && written;
    if (std::fclose(out) != 0 || !written) {
        error = describe(path, "can't write");
        unlink(temporary.c_str());
        return false;
    }
    // mkstemp creates the file readable by the owner only; a glyph file is an ordinary document.
    mode_t mask = umask(0);
    umask(mask);
    chmod(temporary.c_str(), 0666 & ~mask);
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        error = describe(path, "can't replace");
        unlink(temporary.c_str());
        return false;
    }
    return true;
}
