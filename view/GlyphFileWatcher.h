#pragma once

#include <QByteArray>
#include <QObject>
#include <QSocketNotifier>
#include <QTimer>
#include <sys/types.h>

// Tells when the glyph file at a path has been replaced (a new file renamed
// over it, as alphabet-tool writes) or rewritten in place, once it has stopped
// changing and holds every glyph its header announces, so that a half-written
// file is never read. A file that stays short is taken as it is after a while;
// a file that is gone is not reported until it is back. The path is kept as
// the file system's bytes, which need not be text (QFileSystemWatcher takes
// text, so the watches are inotify's own).
class GlyphFileWatcher : public QObject {
    Q_OBJECT

public:
    explicit GlyphFileWatcher(QObject* parent = nullptr);
    ~GlyphFileWatcher() override;

    GlyphFileWatcher(const GlyphFileWatcher&) = delete;
    GlyphFileWatcher& operator=(const GlyphFileWatcher&) = delete;

    // Watches `path` from now on, in place of any earlier one.
    void watch(const QByteArray& path);

signals:
    void fileReady();

private:
    // What tells one version of a file from another.
    struct Stamp {
        bool exists = false;
        dev_t device = 0;
        ino_t inode = 0;
        off_t size = 0;
        long long modified = 0; // nanoseconds
        bool operator==(const Stamp& other) const;
        bool operator!=(const Stamp& other) const { return !(*this == other); }
    };

    Stamp stampOf() const;
    bool holdsWholeGlyphs() const;
    void noteChange();
    void settle();
    void keepWatching();
    void takeNotices();

    int notices = -1; // the inotify descriptor
    QSocketNotifier* noticesWaiting = nullptr;
    int folderWatch = -1;
    int fileWatch = -1;
    QTimer quiet;
    QByteArray path;
    Stamp reported; // the version last reported, or found when watching began
    Stamp pending;  // the version seen at the last check
    int shortChecks = 0;
    Stamp watched; // the file the watch is on, which may no longer be at the path
};
