#include "tools/Options.h"

#include <algorithm>
#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

// The usage lines break before an option that would run past this column.
constexpr std::size_t usageWidth = 90;
// Where an option's help starts on its line and on the lines that go on from it.
constexpr int optionHelpColumn = 16;

bool isHelpOption(const char* argument) {
    return !std::strcmp(argument, "--help") || !std::strcmp(argument, "-h");
}

std::string rangeOf(const Option& option) {
    return "a whole number from " + std::to_string(option.low) + " to " +
           std::to_string(option.high);
}

// An option as its help line names it: its usage without the brackets.
std::string wordsOf(const Option& option) {
    const std::string words = option.usage;
    return words.size() > 2 && words.front() == '[' ? words.substr(1, words.size() - 2) : words;
}

// "  --lift H      the lift height ...", its later lines indented as far.
std::string optionHelp(const Option& option, std::size_t column) {
    std::string words = wordsOf(option);
    words.resize(std::max<std::size_t>(words.size() + 1, column - 2), ' ');
    std::string text = "  " + words;
    for (const char* c = option.help; *c; ++c) {
        text += *c;
        if (*c == '\n' && c[1])
            text += std::string(column, ' ');
    }
    return text;
}

Option made(const char* name, const char* usage, Option::Kind kind) {
    Option made;
    made.name = name;
    made.usage = usage;
    made.kind = kind;
    return made;
}

int refuse(const CommandLine& line, const std::string& problem) {
    std::fprintf(stderr, "alphabet-tool %s: %s\n", line.command, problem.c_str());
    return 2;
}

// Takes the value of `option` at argv[i], moving i onto it; -1, or 2 after a refusal.
int takeValue(const CommandLine& line, const Option& option, int argc, char** argv, int& i) {
    const std::string name = argv[i];
    const std::string needs = option.kind == Option::Kind::Number   ? rangeOf(option)
                              : option.kind == Option::Kind::Output ? std::string("a file name "
                                                                                  "('-' for "
                                                                                  "standard "
                                                                                  "output)")
                                                                    : option.needs;
    if (i + 1 >= argc)
        return refuse(line, name + " needs " + needs);
    const char* value = argv[++i];
    std::string problem;
    switch (option.kind) {
    case Option::Kind::Number: {
        int number = 0;
        if (!parseWholeNumber(value, option.low, option.high, number))
            return refuse(line, name + " takes " + needs + ", not '" + value + "'");
        option.takeNumber(number);
        return -1;
    }
    case Option::Kind::Output:
        // "-o --points 3" is a forgotten name far more often than a file called "--points".
        if (value[0] == '-' && value[1] != '\0')
            return refuse(line, name + " needs a file name, not the option '" + value +
                                    "' (write ./" + value + " for a file of that name)");
        break;
    default:
        break;
    }
    if (option.take(value, problem))
        return -1;
    if (problem.empty())
        problem = name + " takes " + option.takes + ", not '" + value + "'";
    return line.helpAfterBadValue ? usageRefusal(line, problem) : refuse(line, problem);
}

} // namespace

bool parseWholeNumber(const char* text, int low, int high, int& value) {
    char* end = nullptr;
    errno = 0;
    const long parsed = std::strtol(text, &end, 10);
    if (end == text || *end != '\0' || errno == ERANGE || parsed < low || parsed > high)
        return false;
    value = static_cast<int>(parsed);
    return true;
}

Option flagOption(const char* name, const char* usage, bool& target) {
    Option option = made(name, usage, Option::Kind::Flag);
    option.take = [&target](const char*, std::string&) { return target = true; };
    return option;
}

Option numberOption(const char* name, const char* usage, int low, int high, int& target) {
    Option option = made(name, usage, Option::Kind::Number);
    option.low = low;
    option.high = high;
    option.takeNumber = [&target](int number) { target = number; };
    return option;
}

Option outputOption(const char* name, const char* usage, std::function<void(const char*)> take) {
    Option option = made(name, usage, Option::Kind::Output);
    option.take = [take](const char* file, std::string&) {
        take(file);
        return true;
    };
    return option;
}

Option textOption(const char* name, const char* usage, const char* needs, const char* takes,
                  std::function<bool(const char*, std::string&)> take) {
    Option option = made(name, usage, Option::Kind::Text);
    option.needs = needs;
    option.takes = takes;
    option.take = std::move(take);
    return option;
}

Option realOption(const char* name, const char* usage, RealRange range, double& target,
                  bool* given) {
    const char* takes = range == RealRange::Positive      ? "a number above 0"
                        : range == RealRange::NonNegative ? "a number of 0 or more"
                                                          : "a finite number";
    Option option = textOption(
        name, usage, "a number", takes, [range, &target, given](const char* text, std::string&) {
            char* end = nullptr;
            const double number = std::strtod(text, &end);
            const bool fits = range == RealRange::Positive      ? number > 0
                              : range == RealRange::NonNegative ? number >= 0
                                                                : true;
            if (end == text || *end != '\0' || !std::isfinite(number) || !fits)
                return false;
            target = number;
            if (given)
                *given = true;
            return true;
        });
    return option;
}

std::string CommandLine::help() const {
    if (!usageLines.empty())
        return usageLines + descriptionText();
    const std::string start = std::string("usage: alphabet-tool ") + command + " ";
    std::string text = start + operands;
    std::size_t lineStart = 0;
    bool first = !*operands;
    for (const Option& option : options) {
        const std::size_t width =
            text.size() - lineStart + (first ? 0 : 1) + std::strlen(option.usage);
        if (!first && width > usageWidth) {
            text += "\n";
            lineStart = text.size();
            text += std::string(start.size(), ' ');
            first = true;
        }
        text += (first ? "" : " ") + std::string(option.usage);
        first = false;
    }
    return text + "\n" + descriptionText();
}

std::string CommandLine::descriptionText() const {
    // Helps start in one column, past the longest option they name.
    std::size_t column = optionHelpColumn;
    for (const Option& option : options)
        if (option.help)
            column = std::max(column, wordsOf(option).size() + 4);
    std::string text;
    for (std::size_t at = 0; at < description.size();) {
        const std::size_t end = description.find('\n', at);
        const std::string row = description.substr(at, end - at);
        const Option* listed = nullptr;
        for (const Option& option : options)
            if (row == std::string("{") + option.name + "}")
                listed = &option;
        text += listed ? optionHelp(*listed, column) : row + "\n";
        at = end == std::string::npos ? description.size() : end + 1;
    }
    return text;
}

std::function<bool(const char*)> oneFileOperand(const char*& file) {
    return [&file](const char* argument) {
        if (file || argument[0] == '-')
            return false;
        file = argument;
        return true;
    };
}

int parseCommandLine(const CommandLine& line, int argc, char** argv,
                     const std::function<bool(const char*)>& operand) {
    for (int i = 0; i < argc; ++i) {
        if (line.afterDashDash && !std::strcmp(argv[i], "--")) {
            while (++i < argc)
                line.afterDashDash(argv[i]);
            return -1;
        }
        if (isHelpOption(argv[i])) {
            std::fputs(line.help().c_str(), stdout);
            return 0;
        }
        const Option* found = nullptr;
        for (const Option& option : line.options)
            if (!std::strcmp(argv[i], option.name))
                found = &option;
        if (found) {
            std::string problem;
            if (found->kind == Option::Kind::Flag)
                found->take(nullptr, problem);
            else if (const int status = takeValue(line, *found, argc, argv, i); status >= 0)
                return status;
        } else if (!operand(argv[i])) {
            return usageRefusal(line, std::string("unexpected argument '") + argv[i] + "'");
        }
    }
    return -1;
}

int usageRefusal(const CommandLine& line, const std::string& problem) {
    std::fprintf(stderr, "alphabet-tool %s: %s\n%s\n", line.command, problem.c_str(),
                 helpHint(line.command).c_str());
    return 2;
}

std::string helpHint(const char* command) {
    const std::string program =
        *command ? std::string("alphabet-tool ") + command : "alphabet-tool";
    return "Try '" + program + " --help' for more information.";
}
