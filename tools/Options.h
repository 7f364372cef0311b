#pragma once

// Each command's options as one table, from which its parsing, its usage lines
// and its refusals all come.

#include <functional>
#include <string>
#include <vector>

// Parses a whole decimal number from `low` to `high`; false if `text` is anything else.
bool parseWholeNumber(const char* text, int low, int high, int& value);

struct Option {
    enum class Kind { Flag, Number, Output, Text };
    const char* name = "";  // "--points"
    const char* usage = ""; // as the usage line shows it: "[--points N]"
    Kind kind = Kind::Flag;
    int low = 0, high = 0;      // a Number's range
    const char* needs = "";     // a Text's value, as "needs ..." names it
    const char* takes = "";     // a Text's values, as "takes ..., not 'X'" names them
    const char* help = nullptr; // lines for the help text, where it lists the option
    // Takes the value of any but a Number (null for a Flag); false refuses it, saying why in
    // `problem` where "takes ..." does not.
    std::function<bool(const char* value, std::string& problem)> take;
    std::function<void(int)> takeNumber; // a Number's, in its range
};

Option flagOption(const char* name, const char* usage, bool& target);
Option numberOption(const char* name, const char* usage, int low, int high, int& target);
// A file name ('-' for standard output); another option in its place is refused.
Option outputOption(const char* name, const char* usage, std::function<void(const char*)> take);
Option textOption(const char* name, const char* usage, const char* needs, const char* takes,
                  std::function<bool(const char*, std::string&)> take);

// Which real numbers a real option takes; each is finite.
enum class RealRange { Positive, NonNegative, Finite };
// A real number in `range` into `target`; `given`, where not null, is set when it is.
Option realOption(const char* name, const char* usage, RealRange range, double& target,
                  bool* given = nullptr);

struct CommandLine {
    const char* command;  // "render"
    const char* operands; // the usage line's words before the options: "FILE"
    std::vector<Option> options;
    // The help text after the usage lines; a line "{--lift}" stands for that option's help.
    std::string description;
    // Whether a Text option's refused value is followed by the hint to --help.
    bool helpAfterBadValue = false;
    // The usage lines where a command shows its options as OPTIONS rather than one by one.
    std::string usageLines = {};
    // Where set, "--" ends the options and every argument after it goes here.
    std::function<void(const char*)> afterDashDash = {};

    std::string help() const;
    // The description with each option's help in its place.
    std::string descriptionText() const;
};

// Walks the arguments: the help option prints the help; each option takes its
// value; every other argument goes to `operand`, which refuses it by returning
// false. Returns -1 to go on, else the exit status after printing the help or
// the refusal.
int parseCommandLine(const CommandLine& line, int argc, char** argv,
                     const std::function<bool(const char*)>& operand);

// The operand of a command that takes one file: the first argument that is not
// an option fills `file`; a second one, or an unknown option, is refused.
std::function<bool(const char*)> oneFileOperand(const char*& file);

// Says `problem` on standard error for `line`'s command, then the hint to its --help; 2.
int usageRefusal(const CommandLine& line, const std::string& problem);

// The line that points a usage error to the help of `command` ("" for the tool's own).
std::string helpHint(const char* command);
