// Start-up harness: the viewer's own start (application object, style, main
// window, show, event loop) with a watch on the glyph view that notes the
// moment its first frame is painted, composed into the window, swapped and
// finished, and then quits.
//
//   bench_first_frame
//       Runs in the current folder, which holds universal.alphabet, and prints
//       "first-frame <CLOCK_MONOTONIC nanoseconds> rss-anon-kB <n> rss-file-kB <n>
//       rss-shmem-kB <n> glyphs <n>" on standard output: the time, the resident
//       memory at that moment that is the process's own, that maps files
//       (library code and the glyph file's pages) and that is shared memory
//       (the window's image for X), and the glyph count the view shows.
//   bench_first_frame --launch RESULTS RUNS SAMPLE_FOLDER FOLDER LABEL
//       Starts the harness RUNS times in each folder, one after the other in
//       turn, the order alternating, and appends to RESULTS the median time
//       from process start to the first frame in each, FOLDER's against
//       SAMPLE_FOLDER's. Fails unless every start shows all the glyphs of its file.
#include "alphabet/AlphabetFile.h"
#include "app/AlphabetViewer.h"
#include "bench/BenchRows.h"
#include "bench/PairedTiming.h"
#include "view/CharGLWidget.h"

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <string>
#include <sys/wait.h>
#include <unistd.h>
#include <vector>

namespace {

long long monotonicNanoseconds() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return now.tv_sec * 1000000000LL + now.tv_nsec;
}

// A "<field> <n> kB" line of /proc/self/status, or -1.
long long statusKilobytes(const char* field) {
    FILE* status = std::fopen("/proc/self/status", "r");
    if (!status)
        return -1;
    char line[256];
    long long value = -1;
    const std::size_t length = std::strlen(field);
    while (std::fgets(line, sizeof line, status))
        if (std::strncmp(line, field, length) == 0)
            value = std::atoll(line + length);
    std::fclose(status);
    return value;
}

// Notes the time once the view's first frame is on the screen and finished,
// and ends the run. The view paints into its FBO; the frame reaches the
// window when Qt composes the window and swaps, which frameSwapped reports.
class FirstFrameWatch : public QObject {
public:
    explicit FirstFrameWatch(CharGLWidget& view_) : view(view_) {
        connect(&view, &QOpenGLWidget::frameSwapped, this, &FirstFrameWatch::swapped);
    }

private:
    void swapped() {
        // Until GL is set up the window is composed without the view's frame.
        if (seen || !view.isValid())
            return;
        seen = true;
        view.makeCurrent();
        glFinish();
        const long long now = monotonicNanoseconds();
        std::printf(
            "first-frame %lld rss-anon-kB %lld rss-file-kB %lld rss-shmem-kB %lld glyphs %d\n", now,
            statusKilobytes("RssAnon:"), statusKilobytes("RssFile:"), statusKilobytes("RssShmem:"),
            view.glyphCount());
        std::fflush(stdout);
        QCoreApplication::exit(0);
    }

    CharGLWidget& view;
    bool seen = false;
};

int runViewer(int argc, char** argv) {
    QApplication application(argc, argv);
    QApplication::setStyle("plastique");
    AlphabetViewer viewer(nullptr, Qt::WindowFlags());
    CharGLWidget* view = viewer.findChild<CharGLWidget*>();
    if (!view) {
        std::fprintf(stderr, "bench_first_frame: the window has no glyph view\n");
        return 1;
    }
    FirstFrameWatch watch(*view);
    viewer.show();
    return application.exec();
}

// One start of the harness: milliseconds from the fork to its first frame
// (-1 where it showed none) and the glyph count it showed.
struct Launch {
    double ms = -1;
    int glyphs = -1;
};

Launch launchOnce(const std::string& folder) {
    int out[2];
    if (pipe(out) != 0)
        return {};
    const long long start = monotonicNanoseconds();
    const pid_t child = fork();
    if (child == 0) {
        close(out[0]);
        dup2(out[1], STDOUT_FILENO);
        const int quiet = open("/dev/null", O_WRONLY);
        dup2(quiet, STDERR_FILENO);
        if (chdir(folder.c_str()) != 0)
            _exit(127);
        char self[] = "bench_first_frame";
        char* args[] = {self, nullptr};
        execv("/proc/self/exe", args);
        _exit(127);
    }
    close(out[1]);
    std::string text;
    char buffer[256];
    ssize_t got;
    while ((got = read(out[0], buffer, sizeof buffer)) > 0)
        text.append(buffer, static_cast<std::size_t>(got));
    close(out[0]);
    int status = 0;
    waitpid(child, &status, 0);
    long long frame = 0;
    Launch launch;
    if (WIFEXITED(status) && WEXITSTATUS(status) == 0 &&
        std::sscanf(text.c_str(),
                    "first-frame %lld rss-anon-kB %*d rss-file-kB %*d rss-shmem-kB %*d glyphs %d",
                    &frame, &launch.glyphs) == 2)
        launch.ms = (frame - start) / 1e6;
    return launch;
}

// The glyph count a folder's universal.alphabet holds, as the viewer opens it.
int glyphsInFolder(const std::string& folder) {
    AlphabetFile file;
    return file.open((folder + "/universal.alphabet").c_str()) ? file.glyphCount() : -1;
}

// Median, least and greatest of `times`, as the table gives them.
std::string spread(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    return "median of " + std::to_string(times.size()) + " (" + formatted(times.front(), 1) +
           " to " + formatted(times.back(), 1) + ")";
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 1)
        return runViewer(argc, argv);
    if (argc != 7 || std::string(argv[1]) != "--launch") {
        std::fprintf(
            stderr,
            "usage: bench_first_frame [--launch RESULTS RUNS SAMPLE_FOLDER FOLDER LABEL]\n");
        return 2;
    }
    const std::string results = argv[2], label = argv[6];
    const int runs = std::max(1, std::atoi(argv[3]));
    const std::string folders[2] = {argv[4], argv[5]};
    std::vector<double> times[2];
    for (int run = 0; run < runs; ++run)
        for (int turn = 0; turn < 2; ++turn) {
            const int which = (turn == 0) == (run % 2 == 0) ? 0 : 1;
            const Launch launch = launchOnce(folders[which]);
            if (launch.ms < 0) {
                std::fprintf(stderr, "bench_first_frame: the harness showed no first frame in %s\n",
                             folders[which].c_str());
                return 1;
            }
            const int expected = glyphsInFolder(folders[which]);
            if (launch.glyphs != expected) {
                std::fprintf(stderr,
                             "bench_first_frame: %s/universal.alphabet: the view showed %d glyphs "
                             "of its %d\n",
                             folders[which].c_str(), launch.glyphs, expected);
                return 1;
            }
            times[which].push_back(launch.ms);
        }
    const double sample = median(times[0]), large = median(times[1]);
    appendRow(results, {"Start-up to first frame, sample", formatted(sample, 1, "ms"),
                        spread(times[0]), "", "", ""});
    appendRow(results, {"Start-up to first frame, " + label, formatted(large, 1, "ms"),
                        formatted(sample, 1, "ms sample; ") + spread(times[1]),
                        formatted(large / sample, 2), "<= 1.50", verdict(large / sample <= 1.5)});
    return 0;
}
