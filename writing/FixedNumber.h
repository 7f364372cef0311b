#pragma once

// Numbers for machines: to a thousandth, without trailing zeros.

#include <cmath>
#include <cstdint>

// Writes `value` rounded to 0.001 ("12.5", "-0.002", "3") at `out`; returns the end.
// Up to 24 bytes.
inline char* formatThousandths(double value, char* out) {
    std::int64_t units = std::llround(value * 1000);
    if (units < 0) {
        *out++ = '-';
        units = -units;
    }
    std::int64_t whole = units / 1000;
    int fraction = int(units % 1000);
    char digits[24];
    int n = 0;
    do {
        digits[n++] = char('0' + whole % 10);
        whole /= 10;
    } while (whole > 0);
    while (n > 0)
        *out++ = digits[--n];
    if (fraction != 0) {
        *out++ = '.';
        for (int divisor = 100; fraction != 0; divisor /= 10) {
            *out++ = char('0' + fraction / divisor);
            fraction %= divisor;
        }
    }
    return out;
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
