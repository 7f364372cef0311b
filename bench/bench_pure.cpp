// Google Benchmark of the parts of the viewer that need no display: the
// glyph file loader against a plain read of the same file, the trackball
// math of one drag step, the rotation matrix and the glyph camera.
//
//   bench_pure [benchmark flags] RESULTS SMALL_FILE LARGE_FILE
//
// Appends its rows to RESULTS (see BenchRows.h).
#include "alphabet/AlphabetLoader.h"
#include "alphabet/SampleAlphabet.h"
#include "bench/BenchFiles.h"
#include "bench/BenchRows.h"
#include "trackball/Trackball.h"
#include "geometry/GlyphCamera.h"

#include <benchmark/benchmark.h>

#include <cmath>
#include <cstdio>
#include <fcntl.h>
#include <map>
#include <memory>
#include <string>
#include <sys/stat.h>
#include <unistd.h>
#include <vector>

namespace {

constexpr int repetitions = 7;

// A plain read of the whole file into a block of its size: the speed limit
// of any loader that hands back the file's bytes in memory.
void plainRead(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        const int fd = open(path.c_str(), O_RDONLY);
        struct stat info {};
        fstat(fd, &info);
        const std::size_t size = static_cast<std::size_t>(info.st_size);
        std::unique_ptr<char[]> block(new char[size]);
        std::size_t done = 0;
        while (done < size) {
            const ssize_t got = read(fd, block.get() + done, size - done);
            if (got <= 0)
                break;
            done += static_cast<std::size_t>(got);
        }
        close(fd);
        if (done != size)
            state.SkipWithError("short read");
        benchmark::DoNotOptimize(block.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * fileBytes(path));
}

void loader(benchmark::State& state, const std::string& path) {
    for (auto _ : state) {
        int pointsPerGlyph = 0, glyphCount = 0;
        std::unique_ptr<Point3[]> block(loadAlphabet(path.c_str(), pointsPerGlyph, glyphCount));
        if (!block || glyphCount == 0)
            state.SkipWithError("nothing loaded");
        benchmark::DoNotOptimize(block.get());
        benchmark::ClobberMemory();
    }
    state.SetBytesProcessed(state.iterations() * fileBytes(path));
}

// Mouse positions around a circle inside a cell, in normalised drag coordinates.
std::vector<float> dragPath() {
    std::vector<float> xy;
    for (int k = 0; k < 360; ++k) {
        const double a = k * 3.14159265358979 / 180;
        xy.push_back(static_cast<float>(0.5 * std::cos(a) + 0.1 * std::sin(7 * a)));
        xy.push_back(static_cast<float>(0.5 * std::sin(a)));
    }
    return xy;
}

// One mouse move of a drag: the step from the last position and its composition.
void dragStep(benchmark::State& state) {
    const std::vector<float> path = dragPath();
    const std::size_t steps = path.size() / 2;
    float orientation[4] = {0, 0, 0, 1};
    float lastX = path[0], lastY = path[1];
    std::size_t k = 1;
    for (auto _ : state) {
        const float x = path[2 * k], y = path[2 * k + 1];
        float step[4];
        dragRotation(step, lastX, lastY, x, y);
        composeRotations(step, orientation, orientation);
        lastX = x;
        lastY = y;
        k = k + 1 == steps ? 0 : k + 1;
        benchmark::DoNotOptimize(orientation);
    }
}

void rotationMatrixOf(benchmark::State& state) {
    // Orientations along a drag, so that no two calls in a row see the same input.
    const std::vector<float> path = dragPath();
    std::vector<float> orientations;
    float q[4] = {0, 0, 0, 1};
    for (std::size_t k = 1; k < path.size() / 2; ++k) {
        float step[4];
        dragRotation(step, path[2 * k - 2], path[2 * k - 1], path[2 * k], path[2 * k + 1]);
        composeRotations(step, q, q);
        orientations.insert(orientations.end(), q, q + 4);
    }
    const std::size_t count = orientations.size() / 4;
    std::size_t k = 0;
    float m[16];
    for (auto _ : state) {
        rotationMatrix(m, &orientations[4 * k]);
        k = k + 1 == count ? 0 : k + 1;
        benchmark::DoNotOptimize(m);
        benchmark::ClobberMemory();
    }
}

// The camera of one glyph, taking the 26 sample letters in turn.
void camera(benchmark::State& state, int pointsPerGlyph) {
    const std::vector<Point3> letters = sampleAlphabet(pointsPerGlyph);
    int glyph = 0;
    for (auto _ : state) {
        const GlyphCamera placed = placeGlyphCamera(
            &letters[static_cast<std::size_t>(glyph) * pointsPerGlyph], pointsPerGlyph);
        glyph = glyph + 1 == sampleGlyphCount ? 0 : glyph + 1;
        benchmark::DoNotOptimize(placed);
    }
}

// Keeps the median of every benchmark's repetitions, by name.
class MedianCollector : public benchmark::BenchmarkReporter {
public:
    struct Figures {
        double nanoseconds = 0;
        double bytesPerSecond = 0;
    };
    std::map<std::string, Figures> medians;
    std::vector<std::string> errors;

    bool ReportContext(const Context&) override { return true; }
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& run : runs) {
            if (run.error_occurred) {
                errors.push_back(run.benchmark_name() + ": " + run.error_message);
                continue;
            }
            if (run.run_type != Run::RT_Aggregate || run.aggregate_name != "median")
                continue;
            Figures figures;
            figures.nanoseconds = run.GetAdjustedRealTime() * nanosecondsPer(run.time_unit);
            auto counter = [&](const char* name) {
                auto found = run.counters.find(name);
                return found == run.counters.end() ? 0.0 : double(found->second.value);
            };
            figures.bytesPerSecond = counter("bytes_per_second");
            medians[run.run_name.function_name] = figures;
        }
    }

private:
    static double nanosecondsPer(benchmark::TimeUnit unit) {
        switch (unit) {
        case benchmark::kNanosecond:
            return 1;
        case benchmark::kMicrosecond:
            return 1e3;
        case benchmark::kMillisecond:
            return 1e6;
        case benchmark::kSecond:
            return 1e9;
        }
        return 1;
    }
};

void registerAll(const std::string& small, const std::string& large) {
    auto repeat = [](benchmark::internal::Benchmark* b) {
        b->Repetitions(repetitions)->ReportAggregatesOnly(true)->Unit(benchmark::kNanosecond);
    };
    repeat(benchmark::RegisterBenchmark("load/small", loader, small)->MinTime(0.2));
    repeat(benchmark::RegisterBenchmark("read/small", plainRead, small)->MinTime(0.2));
    repeat(benchmark::RegisterBenchmark("load/large", loader, large)->MinTime(0.5));
    repeat(benchmark::RegisterBenchmark("read/large", plainRead, large)->MinTime(0.5));
    repeat(benchmark::RegisterBenchmark("drag step", dragStep)->MinTime(0.1));
    repeat(benchmark::RegisterBenchmark("rotation matrix", rotationMatrixOf)->MinTime(0.1));
    repeat(benchmark::RegisterBenchmark("camera/48", camera, 48)->MinTime(0.1));
    repeat(benchmark::RegisterBenchmark("camera/10000", camera, 10000)->MinTime(0.2));
}

} // namespace

int main(int argc, char** argv) {
    benchmark::Initialize(&argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_pure [benchmark flags] RESULTS SMALL_FILE LARGE_FILE\n");
        return 2;
    }
    const std::string results = argv[1], small = argv[2], large = argv[3];
    const long long smallBytes = fileBytes(small), largeBytes = fileBytes(large);
    if (smallBytes < 0 || largeBytes < 0) {
        std::fprintf(stderr, "bench_pure: can't read %s or %s\n", argv[2], argv[3]);
        return 1;
    }
    registerAll(small, large);
    MedianCollector collector;
    benchmark::RunSpecifiedBenchmarks(&collector);
    benchmark::Shutdown();
    for (const std::string& error : collector.errors)
        std::fprintf(stderr, "bench_pure: %s\n", error.c_str());
    if (!collector.errors.empty())
        return 1;

    // Rows for the benchmarks that ran (a --benchmark_filter may leave some out).
    auto& m = collector.medians;
    auto ran = [&](const std::string& name) { return m.count(name) != 0; };
    const double mib = 1024.0 * 1024.0;
    for (const char* size : {"small", "large"}) {
        const std::string s = size;
        if (!ran("load/" + s) || !ran("read/" + s))
            continue;
        const double load = m["load/" + s].bytesPerSecond / mib;
        const double read = m["read/" + s].bytesPerSecond / mib;
        const long long bytes = s == "small" ? smallBytes : largeBytes;
        appendRow(results, {"Load " + formatted(bytes / mib, 0, "MiB") + " file (loadAlphabet)",
                            formatted(load, 0, "MiB/s"), formatted(read, 0, "MiB/s plain read"),
                            formatted(load / read, 2), ">= 0.80", verdict(load / read >= 0.8)});
    }
    if (ran("drag step"))
        appendRow(results, {"Drag step math (dragRotation + composeRotations)",
                            formatted(m["drag step"].nanoseconds, 1, "ns"), "", "", "", ""});
    if (ran("rotation matrix"))
        appendRow(results, {"rotationMatrix", formatted(m["rotation matrix"].nanoseconds, 1, "ns"),
                            "", "", "", ""});
    if (ran("camera/48")) {
        const double ns = m["camera/48"].nanoseconds;
        appendRow(results, {"placeGlyphCamera, 48 points", formatted(ns, 0, "ns/glyph"),
                            formatted(ns / 48, 2, "ns/point"), "", "", ""});
    }
    if (ran("camera/10000")) {
        const double ns = m["camera/10000"].nanoseconds;
        appendRow(results, {"placeGlyphCamera, 10,000 points", formatted(ns / 1000, 1, "us/glyph"),
                            formatted(ns / 10000, 2, "ns/point"), "", "", ""});
    }
    return 0;
}
