#pragma once

// Numbers for machines: to a thousandth, without trailing zeros.

#include <cstdint>

// `value` rounded to a whole number, halves away from zero, as llround does
// but without its library call: the writers round millions of numbers.
inline std::int64_t rounded(double value) {
    return static_cast<std::int64_t>(value + (value < 0 ? -0.5 : 0.5));
}

// Writes a whole number at `out`; returns the end. Up to 21 bytes.
inline char* formatWhole(std::int64_t value, char* out) {
    char digits[24];
    int n = 0;
    const bool negative = value < 0;
    std::uint64_t magnitude = negative ? 0 - std::uint64_t(value) : std::uint64_t(value);
    do {
        digits[n++] = char('0' + magnitude % 10);
        magnitude /= 10;
    } while (magnitude > 0);
    if (negative)
        *out++ = '-';
    while (n > 0)
        *out++ = digits[--n];
    return out;
}

// Writes `units` thousandths as a decimal ("12.5", "-0.002", "3") at `out`;
// returns the end. Up to 24 bytes.
inline char* formatUnits(std::int64_t units, char* out) {
    if (units < 0) {
        *out++ = '-';
        units = -units;
    }
    out = formatWhole(units / 1000, out);
    int fraction = int(units % 1000);
    if (fraction != 0) {
        *out++ = '.';
        for (int divisor = 100; fraction != 0; divisor /= 10) {
            *out++ = char('0' + fraction / divisor);
            fraction %= divisor;
        }
    }
    return out;
}

// Writes `value` rounded to 0.001 at `out`; returns the end.
inline char* formatThousandths(double value, char* out) {
    return formatUnits(rounded(value * 1000), out);
}
