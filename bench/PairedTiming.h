#pragma once

#include <functional>
#include <vector>

// Per-frame milliseconds of `a` and `b`, timed one of each in turn, the order
// alternating, so that a change in the machine's load falls on both alike.
struct Paired {
    double a = 0, b = 0, ratio = 0, difference = 0;
    double cpuDifference = 0; // the same for this thread's CPU time alone
};

// Times `a` against `b` for about `seconds` in all (at least 40 pairs). Medians,
// so that frames held up by other processes count for little: the ratio is the
// ratio of the medians, the difference the median of the differences within
// each pair. `between`, where given, runs after each pair, untimed.
Paired timePaired(const std::function<void()>& a, const std::function<void()>& b, double seconds,
                  const std::function<void()>& between = {});

double median(std::vector<double> values);

// CPU time of the calling thread: the GUI thread, where the view does its own
// work, while llvmpipe rasterizes on threads of its own.
double threadCpuMilliseconds();
