#include "bench/BenchRows.h"

#include <cstdio>
#include <fstream>

namespace {

// Tabs and line breaks would split the row.
std::string cleaned(std::string text) {
    for (char& c : text)
        if (c == '\t' || c == '\n')
            c = ' ';
    return text;
}

} // namespace

void appendRow(const std::string& path, const BenchRow& row) {
    std::ofstream out(path, std::ios::app);
    out << cleaned(row.measure) << '\t' << cleaned(row.value) << '\t' << cleaned(row.reference)
        << '\t' << cleaned(row.ratio) << '\t' << cleaned(row.goal) << '\t' << cleaned(row.met)
        << '\n';
}

std::string formatted(double value, int decimals, const std::string& unit) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    return unit.empty() ? std::string(text) : std::string(text) + " " + unit;
}

std::string verdict(bool met) {
    return met ? "yes" : "NO";
}
