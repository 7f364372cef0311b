#pragma once

// Small helpers for the commands' argument lists.

// True for "--help" and "-h".
bool isHelpOption(const char* argument);

// Parses a whole decimal number from `low` to `high`; false if `text` is anything else.
bool parseWholeNumber(const char* text, int low, int high, int& value);

// The value after the option at argv[i], moving i onto it; where there is none, says on
// standard error that the option needs `what` and returns null.
const char* optionValue(const char* command, int argc, char** argv, int& i, const char* what);

// The file name after "-o" at argv[i] ("-" for standard output), moving i onto it; null
// after a message where it is missing or is another option.
const char* outputOption(const char* command, int argc, char** argv, int& i);

// The whole number from `low` to `high` after the option at argv[i], moving i onto it;
// where it is missing or anything else, says so on standard error and returns false.
bool numberOption(const char* command, int argc, char** argv, int& i, int low, int high,
                  int& value);
