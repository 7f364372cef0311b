// Start-up harness: the viewer's own start (application object, style, main
// window, show, event loop) with a watch on the glyph view that notes the
// moment its first frame is painted, composed into the window, swapped and
// finished, and then quits.
//
//   bench_first_frame
//       Runs in the current folder, which holds universal.alphabet, and prints
//       "first-frame <CLOCK_MONOTONIC nanoseconds> rss-anon-kB <n> rss-file-kB <n>
//       rss-shmem-kB <n>" on standard output: the time, and the resident memory
//       at that moment that is the process's own, that maps files (library
//       code, mostly) and that is shared memory (the window's image for X).
//   bench_first_frame --launch RESULTS LABEL FOLDER RUNS
//       Starts the harness RUNS times in FOLDER and appends the median time
//       from process start to the first frame to RESULTS, beside the time a
//       plain read of the folder's glyph file takes.
#include "app/AlphabetViewer.h"
#include "bench/BenchRows.h"
#include "view/CharGLWidget.h"

#include <QApplication>
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fcntl.h>
#include <memory>
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
        std::printf("first-frame %lld rss-anon-kB %lld rss-file-kB %lld rss-shmem-kB %lld\n", now,
                    statusKilobytes("RssAnon:"), statusKilobytes("RssFile:"),
                    statusKilobytes("RssShmem:"));
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

// Milliseconds from the fork that starts the harness to its first frame, or -1.
double launchOnce(const std::string& folder) {
    int out[2];
    if (pipe(out) != 0)
        return -1;
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
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0 ||
        std::sscanf(text.c_str(), "first-frame %lld", &frame) != 1)
        return -1;
    return (frame - start) / 1e6;
}

// Milliseconds to read the whole file into a fresh block of its size: the
// part of the start-up that no viewer of the file can go below. The median of five.
double plainReadMilliseconds(const std::string& path) {
    std::vector<double> times;
    for (int run = 0; run < 5; ++run) {
        const long long start = monotonicNanoseconds();
        const int fd = open(path.c_str(), O_RDONLY);
        if (fd < 0)
            return -1;
        const off_t size = lseek(fd, 0, SEEK_END);
        lseek(fd, 0, SEEK_SET);
        std::unique_ptr<char[]> block(new char[static_cast<std::size_t>(size)]);
        off_t done = 0;
        ssize_t got;
        while (done < size && (got = read(fd, block.get() + done, size - done)) > 0)
            done += got;
        close(fd);
        times.push_back((monotonicNanoseconds() - start) / 1e6);
    }
    std::sort(times.begin(), times.end());
    return times[times.size() / 2];
}

} // namespace

int main(int argc, char** argv) {
    if (argc == 1)
        return runViewer(argc, argv);
    if (argc != 6 || std::string(argv[1]) != "--launch") {
        std::fprintf(stderr, "usage: bench_first_frame [--launch RESULTS LABEL FOLDER RUNS]\n");
        return 2;
    }
    const int runs = std::max(1, std::atoi(argv[5]));
    std::vector<double> times;
    for (int run = 0; run < runs; ++run) {
        const double ms = launchOnce(argv[4]);
        if (ms < 0) {
            std::fprintf(stderr, "bench_first_frame: the harness showed no first frame in %s\n",
                         argv[4]);
            return 1;
        }
        times.push_back(ms);
    }
    std::sort(times.begin(), times.end());
    const double read = plainReadMilliseconds(std::string(argv[4]) + "/universal.alphabet");
    appendRow(argv[2], {std::string("Start-up to first frame, ") + argv[3],
                        formatted(times[times.size() / 2], 1, "ms"),
                        "median of " + std::to_string(runs) + " (" + formatted(times.front(), 1) +
                            " to " + formatted(times.back(), 1) + "); plain read of the file " +
                            formatted(read, 1, "ms"),
                        "", "", ""});
    return 0;
}
