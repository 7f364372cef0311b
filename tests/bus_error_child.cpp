// Helper of test_alphabet_mapping: opens a mapped glyph file, which installs
// the SIGBUS guard, then reads a page of its own mapping of SCRATCH after
// truncating that file, a SIGBUS outside any glyph file's mapping.
//   bus_error_child GLYPHS SCRATCH default|chained
// "default" leaves SIGBUS to the default action; "chained" first installs a
// handler of its own, which ends the process with status 42.
#include "alphabet/AlphabetFile.h"

#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

namespace {

void earlierHandler(int, siginfo_t*, void*) {
    _exit(42);
}

} // namespace

int main(int argc, char** argv) {
    if (argc != 4)
        return 2;
    struct sigaction action {};
    sigemptyset(&action.sa_mask);
    if (std::strcmp(argv[3], "chained") == 0) {
        action.sa_sigaction = earlierHandler;
        action.sa_flags = SA_SIGINFO;
    } else {
        action.sa_handler = SIG_DFL; // also takes back what a sanitizer runtime installed
    }
    sigaction(SIGBUS, &action, nullptr);

    AlphabetFile glyphs;
    if (!glyphs.open(argv[1]) || !glyphs.isMapped())
        return 3;

    const long page = sysconf(_SC_PAGESIZE);
    const int scratch = open(argv[2], O_RDWR | O_CREAT | O_TRUNC, 0600);
    if (scratch < 0 || ftruncate(scratch, 2 * page) != 0)
        return 4;
    void* start = mmap(nullptr, 2 * page, PROT_READ, MAP_SHARED, scratch, 0);
    if (start == MAP_FAILED || ftruncate(scratch, 0) != 0)
        return 5;
    const volatile char* bytes = static_cast<const char*>(start);
    return bytes[page] == 0 ? 6 : 7; // the read ends the process before either
}
