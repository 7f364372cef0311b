#include "tools/Options.h"

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

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

const char* optionValue(const char* command, int argc, char** argv, int& i, const char* what) {
    if (i + 1 < argc)
        return argv[++i];
    std::fprintf(stderr, "alphabet-tool %s: %s needs %s\n", command, argv[i], what);
    return nullptr;
}

const char* outputOption(const char* command, int argc, char** argv, int& i) {
    const char* option = argv[i];
    const char* name = optionValue(command, argc, argv, i, "a file name ('-' for standard output)");
    // "-o --points 3" is a forgotten name far more often than a file called "--points".
    if (name && name[0] == '-' && name[1] != '\0') {
        std::fprintf(stderr,
                     "alphabet-tool %s: %s needs a file name, not the option '%s' (write ./%s "
                     "for a file of that name)\n",
                     command, option, name, name);
        return nullptr;
    }
    return name;
}

bool numberOption(const char* command, int argc, char** argv, int& i, int low, int high,
                  int& value) {
    const char* option = argv[i];
    const std::string range =
        "a whole number from " + std::to_string(low) + " to " + std::to_string(high);
    const char* text = optionValue(command, argc, argv, i, range.c_str());
    if (!text)
        return false;
    if (parseWholeNumber(text, low, high, value))
        return true;
    std::fprintf(stderr, "alphabet-tool %s: %s takes %s, not '%s'\n", command, option,
                 range.c_str(), text);
    return false;
}
