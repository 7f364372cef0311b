#include "tools/render/VirtualDisplay.h"

#include <cerrno>
#include <chrono>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fcntl.h>
#include <poll.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <thread>
#include <unistd.h>

namespace {

constexpr int startSeconds = 15;
constexpr int stopSeconds = 5;

// The last lines the server wrote to `log`, for a failure message.
std::string tailOf(std::FILE* log) {
    std::string text;
    std::rewind(log);
    char buffer[4096];
    std::size_t got;
    while ((got = std::fread(buffer, 1, sizeof buffer, log)) > 0)
        text.append(buffer, got);
    if (text.size() > 600)
        text = "..." + text.substr(text.size() - 600);
    return text.empty() ? std::string() : "\nXvfb said:\n" + text;
}

// Runs in the child: Xvfb writes its display number to `displayFd` once it accepts clients.
[[noreturn]] void execServer(pid_t parent, int displayFd, int failureFd, int logFd) {
    prctl(PR_SET_PDEATHSIG, SIGTERM);
    if (getppid() != parent)
        _exit(127);
    const int null = ::open("/dev/null", O_RDWR);
    dup2(null, 0);
    dup2(null, 1);
    dup2(logFd, 2);
    fcntl(displayFd, F_SETFD, 0); // the one descriptor Xvfb keeps
    const std::string fd = std::to_string(displayFd);
    const char* args[] = {"Xvfb",        "-displayfd", fd.c_str(), "-screen", "0",
                          "1024x768x24", "-nolisten",  "tcp",      nullptr};
    execvp("Xvfb", const_cast<char* const*>(args));
    const int failure = errno;
    if (write(failureFd, &failure, sizeof failure) < 0)
        _exit(127);
    _exit(127);
}

} // namespace

VirtualDisplay::~VirtualDisplay() {
    stop();
}

bool VirtualDisplay::start(std::string& error) {
    int displayPipe[2];
    int failurePipe[2];
    std::FILE* log = std::tmpfile();
    if (!log || pipe2(displayPipe, O_CLOEXEC) != 0) {
        error = std::string("can't prepare a virtual display: ") + std::strerror(errno);
        if (log)
            std::fclose(log);
        return false;
    }
    if (pipe2(failurePipe, O_CLOEXEC) != 0) {
        error = std::string("can't prepare a virtual display: ") + std::strerror(errno);
        close(displayPipe[0]);
        close(displayPipe[1]);
        std::fclose(log);
        return false;
    }
    std::fflush(nullptr);
    const pid_t parent = getpid();
    server = fork();
    if (server == 0)
        execServer(parent, displayPipe[1], failurePipe[1], fileno(log));
    close(displayPipe[1]);
    close(failurePipe[1]);

    int failure = 0;
    bool ok = server > 0;
    if (!ok)
        error = std::string("can't start Xvfb: ") + std::strerror(errno);
    // The failure pipe closes on a successful exec, or carries errno.
    if (ok && read(failurePipe[0], &failure, sizeof failure) == sizeof failure) {
        error = std::string("can't start Xvfb: ") + std::strerror(failure) +
                (failure == ENOENT ? " (install the xvfb package)" : "");
        ok = false;
    }
    close(failurePipe[0]);

    std::string number;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(startSeconds);
    while (ok && number.find('\n') == std::string::npos) {
        const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
            deadline - std::chrono::steady_clock::now());
        pollfd ready{displayPipe[0], POLLIN, 0};
        const int polled = left.count() > 0 ? poll(&ready, 1, int(left.count())) : 0;
        if (polled < 0 && errno == EINTR)
            continue;
        if (polled <= 0) {
            error = "Xvfb reported no display within " + std::to_string(startSeconds) + " s";
            ok = false;
            break;
        }
        char chunk[32];
        const ssize_t got = read(displayPipe[0], chunk, sizeof chunk);
        if (got <= 0) {
            error = "Xvfb stopped before it reported a display" + tailOf(log);
            ok = false;
            break;
        }
        number.append(chunk, static_cast<std::size_t>(got));
    }
    close(displayPipe[0]);
    std::fclose(log);
    if (!ok) {
        stop();
        return false;
    }
    number.erase(number.find('\n'));
    setenv("DISPLAY", (":" + number).c_str(), 1);
    return true;
}

void VirtualDisplay::stop() {
    if (server <= 0)
        return;
    kill(server, SIGTERM);
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(stopSeconds);
    while (waitpid(server, nullptr, WNOHANG) == 0) {
        if (std::chrono::steady_clock::now() > deadline) {
            kill(server, SIGKILL);
            waitpid(server, nullptr, 0);
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    server = -1;
}
