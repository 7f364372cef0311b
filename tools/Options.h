#pragma once

// Small helpers for the commands' argument lists.

// True for "--help" and "-h".
bool isHelpOption(const char* argument);

// Parses a whole decimal number from `low` to `high`; false if `text` is anything else.
bool parseWholeNumber(const char* text, int low, int high, int& value);

// Parses the value `text` of a whole-number option of `command`; where it is not a
// number from `low` to `high`, says so on standard error and returns false.
bool parseNumberOption(const char* command, const char* option, const char* text, int low, int high,
                       int& value);
