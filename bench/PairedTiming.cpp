#include "bench/PairedTiming.h"

#include <algorithm>
#include <chrono>
#include <ctime>

namespace {

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double cpuMilliseconds(clockid_t clock) {
    timespec now{};
    clock_gettime(clock, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

} // namespace

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

double threadCpuMilliseconds() {
    return cpuMilliseconds(CLOCK_THREAD_CPUTIME_ID);
}

double processCpuMilliseconds() {
    return cpuMilliseconds(CLOCK_PROCESS_CPUTIME_ID);
}

Paired timePaired(const std::function<void()>& a, const std::function<void()>& b, double seconds,
                  const std::function<void()>& between) {
    Clock::time_point start = Clock::now();
    a();
    b();
    const double both = std::max(millisecondsSince(start), 0.01);
    const int pairs = std::max(40, std::min(1000, static_cast<int>(seconds * 1000 / both)));
    // Per side (0 for a, 1 for b): wall, thread CPU and process CPU of each run.
    std::vector<double> wall[2], cpu[2], process[2], differences, cpuDifferences;
    for (int pair = 0; pair < pairs; ++pair) {
        for (int turn = 0; turn < 2; ++turn) {
            const int side = (turn == 0) == (pair % 2 == 0) ? 0 : 1;
            const double processStart = processCpuMilliseconds();
            const double cpuStart = threadCpuMilliseconds();
            start = Clock::now();
            side == 0 ? a() : b();
            wall[side].push_back(millisecondsSince(start));
            cpu[side].push_back(threadCpuMilliseconds() - cpuStart);
            process[side].push_back(processCpuMilliseconds() - processStart);
        }
        differences.push_back(wall[0].back() - wall[1].back());
        cpuDifferences.push_back(cpu[0].back() - cpu[1].back());
        if (between)
            between();
    }
    Paired result;
    result.a = median(wall[0]);
    result.b = median(wall[1]);
    result.ratio = result.a / result.b;
    result.difference = median(differences);
    result.cpuA = median(cpu[0]);
    result.cpuB = median(cpu[1]);
    result.cpuDifference = median(cpuDifferences);
    result.processA = median(process[0]);
    result.processB = median(process[1]);
    return result;
}

void warmUp(const std::function<void()>& a, const std::function<void()>& b) {
    const Clock::time_point start = Clock::now();
    Clock::duration best = Clock::duration::max();
    int stale = 0;
    for (int pairs = 0;
         (pairs < 300 || stale < 3) && Clock::now() - start < std::chrono::seconds(12);
         pairs += 20) {
        const Clock::time_point blockStart = Clock::now();
        for (int pair = 0; pair < 20; ++pair) {
            a();
            b();
        }
        const Clock::duration block = Clock::now() - blockStart;
        if (block < best - best / 32) {
            best = block;
            stale = 0;
        } else {
            ++stale;
        }
    }
}
