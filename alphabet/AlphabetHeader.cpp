#include "alphabet/AlphabetHeader.h"

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

AlphabetHeader readAlphabetHeader(int descriptor) {
    AlphabetHeader header;
    char bytes[alphabetHeaderBytes];
    while (header.bytesRead < alphabetHeaderBytes) {
        const ssize_t got =
            read(descriptor, bytes + header.bytesRead, sizeof bytes - header.bytesRead);
        if (got < 0 && errno == EINTR)
            continue;
        if (got <= 0)
            break; // the end, or a descriptor that can't be read (a directory)
        header.bytesRead += static_cast<int>(got);
    }
    return alphabetHeaderOf(std::string_view(bytes, std::size_t(header.bytesRead)));
}

AlphabetHeader alphabetHeaderOf(std::string_view start) {
    AlphabetHeader header;
    header.bytesRead = static_cast<int>(std::min<std::size_t>(start.size(), alphabetHeaderBytes));
    if (header.whole()) {
        std::memcpy(&header.pointsPerGlyph, start.data(), 4);
        std::memcpy(&header.glyphCount, start.data() + 4, 4);
    }
    return header;
}

bool readAlphabetHeader(const char* path, AlphabetHeader& header) {
    // Non-blocking, and regular files alone: a pipe put at the path never holds the caller.
    const int descriptor = open(path, O_RDONLY | O_CLOEXEC | O_NONBLOCK);
    if (descriptor < 0)
        return false;
    struct stat status;
    if (fstat(descriptor, &status) != 0 || !S_ISREG(status.st_mode)) {
        close(descriptor);
        return false;
    }
    header = readAlphabetHeader(descriptor);
    close(descriptor);
    return true;
}
