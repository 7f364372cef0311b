#pragma once

#include <string>

// One row of the table that `make bench` prints. Every benchmark appends its
// rows to a shared file, one tab-separated line each; scripts/bench.sh prints them.
struct BenchRow {
    std::string measure;   // what was measured
    std::string value;     // the figure, with its unit
    std::string reference; // what it is held against (the floor), with its unit, or empty
    std::string ratio;     // value against reference, or empty
    std::string goal;      // the goal it must meet, or empty
    std::string met;       // "yes", "NO", or empty where there is no goal
};

void appendRow(const std::string& path, const BenchRow& row);

// A number with `decimals` decimals followed by a space and `unit` (no unit: no space).
std::string formatted(double value, int decimals, const std::string& unit = "");

// "yes" or "NO".
std::string verdict(bool met);
