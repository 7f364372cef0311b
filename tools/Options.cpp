#include "tools/Options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>

bool isHelpOption(const char* argument) {
    return !std::strcmp(argument, "--help") || !std::strcmp(argument, "-h");
}

bool parseWholeNumber(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || parsed < low || parsed > high)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

bool parseNumberOption(const char* command, const char* option, const char* text, int low, int high,
                       int& value) {
    if (parseWholeNumber(text, low, high, value))
        return true;
    std::fprintf(stderr, "alphabet-tool %s: %s takes a whole number from %d to %d, not '%s'\n",
                 command, option, low, high, text);
    return false;
}
