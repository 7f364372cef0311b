#pragma once

// Small helpers for the commands' argument lists.

// True for "--help" and "-h".
bool isHelpOption(const char* argument);

// Parses a whole decimal number from `low` to `high`; false if `text` is anything else.
bool parseWholeNumber(const char* text, int low, int high, int& value);
