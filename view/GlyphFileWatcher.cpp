#include "view/GlyphFileWatcher.h"

#include "alphabet/AlphabetHeader.h"

#include <QFileInfo>
#include <sys/stat.h>

namespace {

// How long a file must stay unchanged before it is read.
constexpr int quietMilliseconds = 150;
// Checks after which a file still shorter than its header announces is read as it is.
constexpr int patientChecks = 6;

} // namespace

bool GlyphFileWatcher::Stamp::operator==(const Stamp& other) const {
    return exists == other.exists && device == other.device && inode == other.inode &&
           size == other.size && modified == other.modified;
}

GlyphFileWatcher::GlyphFileWatcher(QObject* parent) : QObject(parent) {
    quiet.setSingleShot(true);
    quiet.setInterval(quietMilliseconds);
    connect(&quiet, &QTimer::timeout, this, &GlyphFileWatcher::settle);
    connect(&watcher, &QFileSystemWatcher::fileChanged, this, &GlyphFileWatcher::noteChange);
    connect(&watcher, &QFileSystemWatcher::directoryChanged, this, &GlyphFileWatcher::noteChange);
}

void GlyphFileWatcher::watch(const QString& file) {
    if (!watcher.files().isEmpty())
        watcher.removePaths(watcher.files());
    if (!watcher.directories().isEmpty())
        watcher.removePaths(watcher.directories());
    quiet.stop();
    path = QFileInfo(file).absoluteFilePath();
    reported = pending = stampOf();
    shortChecks = 0;
    keepWatching();
}

GlyphFileWatcher::Stamp GlyphFileWatcher::stampOf() const {
    Stamp stamp;
    struct stat status;
    if (::stat(QFile::encodeName(path).constData(), &status) != 0 || !S_ISREG(status.st_mode))
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
    return readAlphabetHeader(QFile::encodeName(path).constData(), header) &&
           header.fitsIn(pending.size);
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
    const QString folder = QFileInfo(path).absolutePath();
    if (!watcher.directories().contains(folder))
        watcher.addPath(folder);
    // A file renamed over ours is another file; the watch stays on the old one
    // for as long as the view holds it open, and would see nothing of the new.
    const Stamp now = stampOf();
    const bool moved = now.device != watched.device || now.inode != watched.inode;
    if (now.exists && moved && watcher.files().contains(path))
        watcher.removePath(path);
    if (now.exists && !watcher.files().contains(path) && watcher.addPath(path))
        watched = now;
}
