#include "view/GlyphFileWatcher.h"

#include "alphabet/AlphabetHeader.h"

#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <sys/inotify.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// How long a file must stay unchanged before it is read.
constexpr int quietMilliseconds = 150;
// Checks after which a file still shorter than its header announces is read as it is.
constexpr int patientChecks = 6;

// What is noticed: in the folder, files coming, going and renamed over ours;
// on the file, what it is written or changed in place.
constexpr std::uint32_t folderChanges =
    IN_ONLYDIR | IN_ATTRIB | IN_MOVE | IN_CREATE | IN_DELETE | IN_DELETE_SELF;
constexpr std::uint32_t fileChanges =
    IN_ATTRIB | IN_MODIFY | IN_MOVE | IN_MOVE_SELF | IN_DELETE_SELF;

// `path` from the root, so that a later change of working folder doesn't move it.
QByteArray absolute(const QByteArray& path) {
    if (path.startsWith('/'))
        return path;
    const std::unique_ptr<char, decltype(&std::free)> folder(getcwd(nullptr, 0), &std::free);
    return folder ? QByteArray(folder.get()) + '/' + path : path;
}

// The folder that holds the file at the absolute `path`.
QByteArray folderOf(const QByteArray& path) {
    const int slash = path.lastIndexOf('/');
    return slash > 0 ? path.left(slash) : QByteArray("/");
}

} // namespace

bool GlyphFileWatcher::Stamp::operator==(const Stamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && modified == other.modified;
}

GlyphFileWatcher::GlyphFileWatcher(QObject* parent) : QObject(parent) {
    quiet.setSingleShot(true);
    quiet.setInterval(quietMilliseconds);
    connect(&quiet, &QTimer::timeout, this, &GlyphFileWatcher::settle);
    notices = inotify_init1(IN_NONBLOCK | IN_CLOEXEC);
    if (notices < 0)
        return; // no live reload, but the view works
    noticesWaiting = new QSocketNotifier(notices, QSocketNotifier::Read, this);
    connect(noticesWaiting, &QSocketNotifier::activated, this, &GlyphFileWatcher::takeNotices);
}

GlyphFileWatcher::~GlyphFileWatcher() {
    delete noticesWaiting; // before the descriptor it listens to is closed
    if (notices >= 0)
        close(notices);
}

void GlyphFileWatcher::watch(const QByteArray& file) {
    for (int* watch : {&fileWatch, &folderWatch})
        if (*watch >= 0) {
            inotify_rm_watch(notices, *watch);
            *watch = -1;
        }
    quiet.stop();
    path = absolute(file);
    reported = pending = stampOf();
    shortChecks = 0;
    keepWatching();
}

GlyphFileWatcher::Stamp GlyphFileWatcher::stampOf() const {
    Stamp stamp;
    struct stat status;
    if (::stat(path.constData(), &status) != 0 || !S_ISREG(status.st_mode))
        return stamp;
    stamp.exists = true;
    stamp.device = status.st_dev;
    stamp.inode = status.st_ino;
    stamp.size = status.st_size;
    stamp.modified = status.st_mtim.tv_sec * 1000000000LL + status.st_mtim.tv_nsec;
    return stamp;
}

bool GlyphFileWatcher::holdsWholeGlyphs() const {
    AlphabetHeader header;
    return readAlphabetHeader(path.constData(), header) && header.fitsIn(pending.size);
}

void GlyphFileWatcher::noteChange() {
    // A file renamed over ours is a new file, which the watcher must be told of.
    keepWatching();
    quiet.start();
}

void GlyphFileWatcher::settle() {
    const Stamp now = stampOf();
    if (now != pending) {
        // Still being written: wait for it to be quiet.
        pending = now;
        shortChecks = 0;
        quiet.start();
        return;
    }
    if (!now.exists || now == reported)
        return;
    if (!holdsWholeGlyphs() && ++shortChecks < patientChecks) {
        quiet.start();
        return;
    }
    reported = now;
    shortChecks = 0;
    emit fileReady();
}

void GlyphFileWatcher::keepWatching() {
    if (notices < 0)
        return;
    if (folderWatch < 0)
        folderWatch = inotify_add_watch(notices, folderOf(path).constData(), folderChanges);
    // A file renamed over ours is another file; the watch stays on the old one
    // for as long as the view holds it open, and would see nothing of the new.
    const Stamp now = stampOf();
    const bool moved = now.device != watched.device || now.inode != watched.inode;
    if (now.exists && moved && fileWatch >= 0) {
        inotify_rm_watch(notices, fileWatch);
        fileWatch = -1;
    }
    if (now.exists && fileWatch < 0 &&
        (fileWatch = inotify_add_watch(notices, path.constData(), fileChanges)) >= 0)
        watched = now;
}

// Reads every notice waiting; any of them may be a change of our file.
void GlyphFileWatcher::takeNotices() {
    alignas(inotify_event) char buffer[4096];
    bool changed = false;
    ssize_t got;
    while ((got = read(notices, buffer, sizeof buffer)) > 0 || (got < 0 && errno == EINTR)) {
        for (ssize_t at = 0; at < got;) {
            const auto* notice = reinterpret_cast<const inotify_event*>(buffer + at);
            // A watch the kernel dropped, its file or folder gone, is made anew when it is back.
            if (notice->mask & IN_IGNORED) {
                for (int* watch : {&fileWatch, &folderWatch})
                    if (*watch == notice->wd)
                        *watch = -1;
            }
            changed = true;
            at += static_cast<ssize_t>(sizeof(inotify_event) + notice->len);
        }
    }
    if (changed)
        noteChange();
}
