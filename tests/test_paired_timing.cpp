// The benchmarks' paired timing: each side's times land on that side,
// whichever of the two runs first in a pair, and the process's CPU time
// counts work done on other threads, as llvmpipe rasterizes on threads of its own.
#include "bench/PairedTiming.h"

#include <QtTest>
#include <chrono>
#include <thread>

namespace {

// Busy for `ms` of the calling thread's CPU time.
void burn(double ms) {
    const double end = threadCpuMilliseconds() + ms;
    while (threadCpuMilliseconds() < end) {
    }
}

void sleepFor(double ms) {
    std::this_thread::sleep_for(std::chrono::duration<double, std::milli>(ms));
}

} // namespace

class PairedTimingTest : public QObject {
    Q_OBJECT

private slots:
    void cpuTimeStaysWithItsSide() {
        // As long on the clock either way, but only the burning side uses the CPU.
        const Paired burnFirst = timePaired([] { burn(2); }, [] { sleepFor(2); }, 0.1);
        QVERIFY2(burnFirst.cpuA >= 1.9, qPrintable(QString::number(burnFirst.cpuA)));
        QVERIFY2(burnFirst.cpuB < 0.5, qPrintable(QString::number(burnFirst.cpuB)));
        QVERIFY(burnFirst.cpuDifference >= 1.4);
        QVERIFY(burnFirst.a >= 1.9 && burnFirst.b >= 1.9);

        const Paired sleepFirst = timePaired([] { sleepFor(2); }, [] { burn(2); }, 0.1);
        QVERIFY2(sleepFirst.cpuA < 0.5, qPrintable(QString::number(sleepFirst.cpuA)));
        QVERIFY2(sleepFirst.cpuB >= 1.9, qPrintable(QString::number(sleepFirst.cpuB)));
        QVERIFY(sleepFirst.cpuDifference <= -1.4);
    }

    void processCpuCountsOtherThreads() {
        const Paired t = timePaired([] { std::thread([] { burn(2); }).join(); }, [] {}, 0.1);
        QVERIFY2(t.processA >= 1.9, qPrintable(QString::number(t.processA)));
        QVERIFY2(t.cpuA < 0.5, qPrintable(QString::number(t.cpuA)));
        QVERIFY2(t.processB < 0.5, qPrintable(QString::number(t.processB)));
    }

    void wallTimesAreMediansOfEachSide() {
        const Paired t = timePaired([] { sleepFor(4); }, [] { sleepFor(2); }, 0.1);
        QVERIFY2(t.a >= 4 && t.b >= 2 && t.b < t.a, qPrintable(QString("%1 %2").arg(t.a).arg(t.b)));
        // The median difference within pairs, a's less b's: not a's time alone, not reversed.
        QVERIFY2(t.difference > 1.5 && t.difference < 3.5,
                 qPrintable(QString::number(t.difference)));
    }
};

QTEST_APPLESS_MAIN(PairedTimingTest)
#include "test_paired_timing.moc"
