#include "bench/PairedTiming.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

} // namespace

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double threadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

Paired timePaired(const std::function<void()>& a, const std::function<void()>& b, double seconds,
                  const std::function<void()>& between) {
    Clock::time_point start = Clock::now();
    a();
    b();
    const double both = std::max(millisecondsSince(start), 0.01);
    const int pairs = std::max(40, std::min(1000, static_cast<int>(seconds * 1000 / both)));
    std::vector<double> timesA, timesB, differences, cpuDifferences;
    for (int pair = 0; pair < pairs; ++pair) {
        double ms[2], cpu[2];
        for (int turn = 0; turn < 2; ++turn) {
            const bool doA = (turn == 0) == (pair % 2 == 0);
            const double cpuStart = threadCpuMilliseconds();
            start = Clock::now();
            doA ? a() : b();
            ms[doA ? 0 : 1] = millisecondsSince(start);
            cpu[doA ? 0 : 1] = threadCpuMilliseconds() - cpuStart;
        }
        timesA.push_back(ms[0]);
        timesB.push_back(ms[1]);
        differences.push_back(ms[0] - ms[1]);
        cpuDifferences.push_back(cpu[0] - cpu[1]);
        if (between)
            between();
    }
    const double medianA = median(timesA), medianB = median(timesB);
    return {medianA, medianB, medianA / medianB, median(differences), median(cpuDifferences)};
}
