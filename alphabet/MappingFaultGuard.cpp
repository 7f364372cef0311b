#include "alphabet/MappingFaultGuard.h"

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdint>
#include <sys/mman.h>
#include <unistd.h>

namespace {

// A watched range, read by the signal handler without locks. `version` is odd
// while the range changes, so the handler skips a range caught half written.
struct WatchedRange {
    std::atomic<bool> taken{false};
    std::atomic<unsigned> version{0};
    std::atomic<std::uintptr_t> start{0};
    std::atomic<std::uintptr_t> end{0};
    std::atomic<bool> damaged{false};
};

static_assert(std::atomic<std::uintptr_t>::is_always_lock_free &&
                  std::atomic<unsigned>::is_always_lock_free &&
                  std::atomic<bool>::is_always_lock_free,
              "the SIGBUS handler needs lock-free atomics");

// A viewer holds one file, two while it replaces it; the rest is headroom.
constexpr int slotCount = 64;
WatchedRange ranges[slotCount];
struct sigaction previousAction;
std::uintptr_t pageBytes = 4096;

// The range holding `address`, or null.
WatchedRange* watching(std::uintptr_t address) {
    for (WatchedRange& range : ranges) {
        const unsigned before = range.version.load();
        const std::uintptr_t start = range.start.load();
        const std::uintptr_t end = range.end.load();
        if (before % 2 == 0 && range.version.load() == before && start <= address && address < end)
            return &range;
    }
    return nullptr;
}

// What would have happened without this handler.
void passOn(int signal, siginfo_t* info, void* context) {
    const auto handler = previousAction.sa_handler; // shares storage with sa_sigaction
    if (handler != SIG_DFL && handler != SIG_IGN) {
        if (previousAction.sa_flags & SA_SIGINFO)
            previousAction.sa_sigaction(signal, info, context);
        else
            handler(signal);
        return;
    }
    if (handler == SIG_IGN && info->si_code <= 0)
        return; // sent by kill() or raise(), and ignored as before
    // The default action. A fault can't be ignored: returning would repeat it forever.
    struct sigaction fallback {};
    fallback.sa_handler = SIG_DFL;
    sigemptyset(&fallback.sa_mask);
    sigaction(SIGBUS, &fallback, nullptr);
    raise(SIGBUS); // pending until the handler returns, since SIGBUS is blocked in it
}

// mmap is not on POSIX's list of async-signal-safe functions, but on Linux it
// is a plain system call that takes no lock in user space, so it can't
// deadlock with the code the fault interrupted. MAP_FIXED swaps the page in
// place; the read that faulted then runs again and finds zeros.
void onBusError(int signal, siginfo_t* info, void* context) {
    const int savedErrno = errno;
    const auto address = reinterpret_cast<std::uintptr_t>(info->si_addr);
    WatchedRange* range = info->si_code == BUS_ADRERR ? watching(address) : nullptr;
    if (range) {
        void* page = reinterpret_cast<void*>(address & ~(pageBytes - 1));
        if (mmap(page, pageBytes, PROT_READ, MAP_FIXED | MAP_PRIVATE | MAP_ANONYMOUS, -1, 0) !=
            MAP_FAILED) {
            range->damaged.store(true);
            errno = savedErrno;
            return;
        }
    }
    passOn(signal, info, context);
    errno = savedErrno;
}

bool installHandler() {
    pageBytes = static_cast<std::uintptr_t>(sysconf(_SC_PAGESIZE));
    struct sigaction action {};
    action.sa_sigaction = onBusError;
    action.sa_flags = SA_SIGINFO | SA_ONSTACK;
    sigemptyset(&action.sa_mask);
    // The previous action is read first, so the handler never sees it half written.
    return sigaction(SIGBUS, nullptr, &previousAction) == 0 &&
           sigaction(SIGBUS, &action, nullptr) == 0;
}

} // namespace

int guardMapping(const void* start, std::size_t length) {
    static const bool installed = installHandler();
    if (!installed)
        return -1;
    for (int slot = 0; slot < slotCount; ++slot) {
        WatchedRange& range = ranges[slot];
        bool free = false;
        if (!range.taken.compare_exchange_strong(free, true))
            continue;
        const auto first = reinterpret_cast<std::uintptr_t>(start);
        range.version.fetch_add(1);
        range.start.store(first);
        range.end.store(first + length);
        range.damaged.store(false);
        range.version.fetch_add(1);
        return slot;
    }
    return -1;
}

bool mappingDamaged(int slot) {
    return slot >= 0 && slot < slotCount && ranges[slot].damaged.load();
}

void releaseMappingGuard(int slot) {
    if (slot < 0 || slot >= slotCount)
        return;
    WatchedRange& range = ranges[slot];
    range.version.fetch_add(1);
    range.start.store(0);
    range.end.store(0);
    range.version.fetch_add(1);
    range.taken.store(false);
}
