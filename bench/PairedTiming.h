#pragma once

#include <functional>
#include <vector>

// Per-frame milliseconds of `a` and `b`, timed one of each in turn, the order
// alternating, so that a change in the machine's load falls on both alike.
struct Paired {
    double a = 0, b = 0, ratio = 0, difference = 0; // wall time
    double cpuA = 0, cpuB = 0;                      // this thread's CPU time
    double cpuDifference = 0;          // the same, the median of the differences within each pair
    double processA = 0, processB = 0; // CPU time of every thread of the process
};

// Times `a` against `b` for about `seconds` in all (at least 40 pairs). Medians,
// so that frames held up by other processes count for little: the ratio is the
// ratio of the medians, the difference the median of the differences within
// each pair. `between`, where given, runs after each pair, untimed.
Paired timePaired(const std::function<void()>& a, const std::function<void()>& b, double seconds,
                  const std::function<void()>& between = {});

// Runs `a` and `b` in turn, untimed, in blocks of 20 pairs: at least 300
// pairs, then on until three blocks in a row are no faster than the best
// before them; at most 12 s in all. A new view's first few hundred paints are
// slower, by up to three times, and they may stay on a plateau for 150 paints
// and more before they drop: Mesa allocates and frees large buffers every
// frame, and glibc maps them fresh from the kernel (page faults each time)
// until its dynamic mmap and trim thresholds have risen above them.
void warmUp(const std::function<void()>& a, const std::function<void()>& b);

double median(std::vector<double> values);

// CPU time of the calling thread: the GUI thread, where the view does its own
// work, while llvmpipe rasterizes on threads of its own.
double threadCpuMilliseconds();

// CPU time of the whole process, llvmpipe's threads included.
double processCpuMilliseconds();
