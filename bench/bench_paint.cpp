// Paint benchmark, on whatever GL the display offers (Mesa llvmpipe under Xvfb
// for `make bench`). Each case times a full paint of the glyph view (the
// repaint its handlers ask for, run to the end: paintGL into the widget's
// multisampled FBO, Qt's resolve, composition and swap, then glFinish) beside
// a floor frame painted the same way: a bare loop that issues the same GL
// primitives through the view's own cell painter (viewports, frames, strips,
// points, labels) with every camera, matrix and label position worked out
// beforehand. The ratio of the two is what the view adds on top of the GL work
// itself. Both frames must give the same pixels, or the floor isn't drawing
// what the view draws and the run fails. A drag step, which redraws one cell,
// is timed against a full repaint in (a) and (b) (see DragStep.h).
//
//   bench_paint RESULTS SAMPLE_FILE POINTS10K_FILE GLYPHS100K_FILE
//   bench_paint --hashes SAMPLE_FILE POINTS10K_FILE GLYPHS100K_FILE [PNG_FOLDER]
//   bench_paint --profile FILE FRAMES [last-row][,floor|,drag]
//   bench_paint --go-to RESULTS FILE
//
// --hashes prints a checksum of the view's frame in every case instead of
// timing, to show that a change to the view leaves its pixels as they were,
// and saves the frames as PNGs where a folder is given. --profile only
// paints, for valgrind --tool=callgrind --toggle-collect='BenchView::paintOnce(bool)'
// (or 'Drag::move()' for drag steps). --go-to times the jump to the last glyph
// against a Page Down.
#include "bench/BenchRows.h"
#include "bench/BenchView.h"
#include "bench/DragStep.h"
#include "bench/PairedTiming.h"
#include "tests/ViewProbe.h"

#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

namespace {

using Probe = CharGLWidgetProbe;

constexpr int viewSide = BenchView::side;

std::uint64_t checksum(const QImage& frame) {
    const QImage rgba = frame.convertToFormat(QImage::Format_RGBA8888);
    std::uint64_t hash = 1469598103934665603ULL;
    for (int y = 0; y < rgba.height(); ++y) {
        const uchar* row = rgba.constScanLine(y);
        for (int k = 0; k < rgba.width() * 4; ++k)
            hash = (hash ^ row[k]) * 1099511628211ULL;
    }
    return hash;
}

std::size_t differingPixels(const QImage& a, const QImage& b) {
    if (a.size() != b.size())
        return std::size_t(std::max(a.width() * a.height(), b.width() * b.height()));
    std::size_t count = 0;
    for (int y = 0; y < a.height(); ++y)
        for (int x = 0; x < a.width(); ++x)
            count += a.pixel(x, y) != b.pixel(x, y);
    return count;
}

struct Case {
    std::string name;
    const char* file;
    bool lastRow;
};

void showView(BenchView& view) {
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        std::fprintf(stderr, "bench_paint: the view's window was not exposed\n");
    QApplication::processEvents();
}

void scrollToLastRow(BenchView& view) {
    const int lastRow = (Probe::glyphCount(view) - 1) / Probe::columns(view);
    Probe::setScrollOffset(view, static_cast<float>(Probe::cellSize(view) * lastRow));
}

// The drawn glyphs turned, and one of them marked as being turned, for the checksums.
void turnSome(BenchView& view) {
    const int count = Probe::glyphCount(view);
    int first = 0;
    while (first < count && cellCornerOf(first, Probe::scrollOffset(view), Probe::cellSize(view),
                                         Probe::columns(view), viewSide)
                                    .y > viewSide)
        ++first;
    for (int i = first; i < std::min(first + 16, count); ++i) {
        const double a = 0.3 * (i - first + 1);
        const float q[4] = {static_cast<float>(std::sin(a) * 0.6),
                            static_cast<float>(std::sin(a) * 0.8), 0,
                            static_cast<float>(std::cos(a))};
        Probe::setOrientation(view, i, q);
    }
    // A drag in the top-left cell of the view marks its glyph as being turned.
    QMouseEvent press(QEvent::MouseButtonPress, QPointF(50, 50), Qt::LeftButton, Qt::LeftButton,
                      Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
    QMouseEvent move(QEvent::MouseMove, QPointF(62, 41), Qt::NoButton, Qt::LeftButton,
                     Qt::NoModifier);
    QApplication::sendEvent(&view, &move);
    view.finishPending();
}

// Failures found by reading back one frame of the view and one of its floor,
// whose pixels must be equal, and by a repaint of each, which must run
// paintGL once, into the widget's FBO.
int checkFloor(BenchView& view, const std::string& name) {
    int failures = 0;
    const std::size_t differ = differingPixels(view.frame(false), view.frame(true));
    if (differ) {
        std::fprintf(stderr, "bench_paint: %s: floor frame differs in %zu pixels\n", name.c_str(),
                     differ);
        ++failures;
    }
    view.checkTarget = true;
    for (bool asFloor : {false, true}) {
        const int paintsBefore = view.paints;
        view.drewIntoOwnFbo = false;
        view.paintOnce(asFloor);
        const char* what = asFloor ? "floor frame" : "view";
        if (view.paints != paintsBefore + 1)
            std::fprintf(stderr, "bench_paint: %s: a repaint of the %s ran paintGL %d times\n",
                         name.c_str(), what, view.paints - paintsBefore);
        else if (!view.drewIntoOwnFbo)
            std::fprintf(stderr, "bench_paint: %s: the %s was drawn outside the view's FBO\n",
                         name.c_str(), what);
        failures += view.paints != paintsBefore + 1 || !view.drewIntoOwnFbo;
    }
    view.checkTarget = false;
    return failures;
}

int printHashes(char** files, const char* pngFolder) {
    int failures = 0;
    int saved = 0;
    const Case cases[] = {{"sample", files[0], false},
                          {"10,000 points", files[1], false},
                          {"100,000 glyphs, top", files[2], false},
                          {"100,000 glyphs, last row", files[2], true}};
    for (const Case& c : cases) {
        for (bool turned : {false, true}) {
            BenchView view(c.file);
            showView(view);
            if (c.lastRow)
                scrollToLastRow(view);
            if (turned)
                turnSome(view);
            view.prepareFloor();
            const QImage viewFrame = view.frame(false);
            const QImage floorFrame = view.frame(true);
            const std::size_t differ = differingPixels(viewFrame, floorFrame);
            failures += differ != 0;
            std::printf("%-28s %-8s view %016llx  floor differs in %zu pixels\n", c.name.c_str(),
                        turned ? "turned" : "",
                        static_cast<unsigned long long>(checksum(viewFrame)), differ);
            if (pngFolder)
                viewFrame.save(QString("%1/frame%2.png").arg(pngFolder).arg(++saved));
        }
    }
    return failures ? 1 : 0;
}

// Paints the view (or its floor frame) `frames` times, for a profiler to
// watch BenchView::paintOnce, or with "drag" makes `frames` drag steps, for
// it to watch Drag::move; says how many paintGL calls they made.
int paintForProfile(const char* file, int frames, const std::string& options) {
    BenchView view(file);
    showView(view);
    if (options.find("last-row") != std::string::npos)
        scrollToLastRow(view);
    const bool floor = options.find("floor") != std::string::npos;
    const bool dragging = options.find("drag") != std::string::npos;
    view.prepareFloor();
    // Warmed up outside paintOnce, and the window's late events (slow under
    // a profiler) run, so that the profiled calls are the frames alone.
    view.frame(floor);
    Drag drag(view);
    if (dragging) {
        drag.press();
        drag.move();
    }
    QTest::qWait(500);
    const int paintsBefore = view.paints;
    for (int f = 0; f < frames; ++f)
        dragging ? drag.move() : view.paintOnce(floor);
    std::fprintf(stderr, "bench_paint: %d paints profiled, %d paintGL calls\n", frames,
                 view.paints - paintsBefore);
    return view.paints - paintsBefore == frames ? 0 : 1;
}

// Ctrl+G's jump to the last glyph of `file` and back to the first, each run
// to its finished frame, against Page Down and Page Up in the same view: a
// jump must not walk the glyphs it passes.
int timeGoTo(const std::string& results, const char* file) {
    BenchView view(file);
    showView(view);
    const int count = Probe::glyphCount(view);
    bool atEnd = false;
    auto jump = [&] {
        atEnd = !atEnd;
        view.goToGlyph(atEnd ? count - 1 : 0);
        view.finishPending();
    };
    bool down = false;
    auto page = [&] {
        down = !down;
        QKeyEvent key(QEvent::KeyPress, down ? Qt::Key_PageDown : Qt::Key_PageUp, Qt::NoModifier);
        QApplication::sendEvent(&view, &key);
        view.finishPending();
    };
    jump();
    const double end =
        endOffset(Probe::cellSize(view), Probe::columns(view), BenchView::side, count);
    if (count < 2 || Probe::scrollOffset(view) != static_cast<float>(end)) {
        std::fprintf(stderr, "bench_paint: going to glyph %d of %s did not reach the last row\n",
                     count - 1, file);
        return 1;
    }
    jump();
    warmUp(jump, page);
    const Paired t = timePaired(jump, page, 4);
    appendRow(results, {"Go to glyph " + std::to_string(count - 1) + " (Ctrl+G), or back to 0",
                        formatted(t.a, 2, "ms"), formatted(t.b, 2, "ms Page Down or Up"),
                        formatted(t.ratio, 3), "<= 2", verdict(t.ratio <= 2)});
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if ((argc == 5 || argc == 6) && mode == "--hashes")
        return printHashes(argv + 2, argc == 6 ? argv[5] : nullptr);
    if (argc == 4 && mode == "--go-to")
        return timeGoTo(argv[2], argv[3]);
    if ((argc == 4 || argc == 5) && mode == "--profile")
        return paintForProfile(argv[2], std::atoi(argv[3]), argc == 5 ? argv[4] : "");
    if (argc != 5) {
        std::fprintf(stderr, "usage: bench_paint RESULTS SAMPLE 10K_POINTS 100K_GLYPHS\n");
        return 2;
    }
    const std::string results = argv[1];
    constexpr double seconds = 4; // of timing for each comparison
    int failures = 0;

    const Case cases[] = {{"(a) sample, 26 glyphs of 48 points", argv[2], false},
                          {"(b) 26 glyphs of 10,000 points", argv[3], false},
                          {"(c) 100,000 glyphs of 48 points, top", argv[4], false},
                          {"(d) 100,000 glyphs of 48 points, last row", argv[4], true}};
    std::unique_ptr<BenchView> views[4];
    BenchRow paintRows[4];
    Paired timed[4];
    std::vector<BenchRow> dragRows[3]; // of (a) and (b), and a Ctrl+drag of (a)
    // (a) and (c) stay open side by side, to be timed against each other too.
    for (int n : {0, 2, 1, 3}) {
        const Case& c = cases[n];
        views[n].reset(new BenchView(c.file));
        BenchView& view = *views[n];
        view.move(n == 2 ? 420 : 0, 0);
        showView(view);
        if (c.lastRow)
            scrollToLastRow(view);
        view.prepareFloor();
        warmUp([&] { view.paintOnce(false); }, [&] { view.paintOnce(true); });
        failures += checkFloor(view, c.name);
        int calls = 0;
        const int paintsBefore = view.paints;
        const Paired t = timePaired(
            [&] {
                ++calls;
                view.paintOnce(false);
            },
            [&] {
                ++calls;
                view.paintOnce(true);
            },
            seconds);
        // Every timed repaint must have been exactly one paintGL, neither
        // merged with another nor left for later.
        if (view.paints - paintsBefore != calls) {
            std::fprintf(stderr, "bench_paint: %s: %d repaints ran paintGL %d times\n",
                         c.name.c_str(), calls, view.paints - paintsBefore);
            ++failures;
        }
        timed[n] = t;
        paintRows[n] = {"Paint " + c.name + " (" + std::to_string(view.floorCells()) +
                            " cells drawn)",
                        formatted(t.a, 2, "ms"),
                        formatted(t.b, 2, "ms floor; GUI thread ") +
                            formatted(t.cpuDifference, 3, "ms") + " CPU more",
                        formatted(t.ratio, 3),
                        "<= 1.10",
                        verdict(t.ratio <= 1.10)};
        if (n == 1)
            dragRows[1] = dragStepRows(view, "(b) 10,000 points", seconds, 0.25, failures);
        if (n != 0 && n != 2)
            views[n].reset();
    }

    const int samples = views[0]->samples(); // makes the view's context current
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    appendRow(results,
              {"GL renderer", renderer ? renderer : "unknown",
               samples > 1 ? std::to_string(samples) + "-sample FBO" : "FBO without multisampling",
               "", "", ""});
    for (const BenchRow& row : paintRows)
        appendRow(results, row);

    // (c) and (a) draw the same 20 cells with the same letters: timed in turn.
    const Paired cAgainstA = timePaired([&] { views[2]->paintOnce(false); },
                                        [&] { views[0]->paintOnce(false); }, seconds);
    appendRow(results, {"(c) against (a), the same 20 cells", formatted(cAgainstA.a, 2, "ms"),
                        formatted(cAgainstA.b, 2, "ms (a)"), formatted(cAgainstA.ratio, 3),
                        "<= 1.10", verdict(cAgainstA.ratio <= 1.10)});
    views[2].reset();

    // What (d) adds over its floor, in CPU time of the GUI thread (where all of
    // the view's own work runs, and which the load of other processes disturbs
    // less than wall time; wall time in brackets). The paint starts at the first
    // row in view, whatever lies above it, so (d) should add no more than (c)
    // adds over its floor for its 20 drawn cells: (d) draws 8.
    const double cExtra = std::max(0.0, timed[2].cpuDifference);
    const double allowed = cExtra;
    appendRow(results, {"(d) over its floor against (c) over its floor: GUI-thread CPU (wall)",
                        formatted(timed[3].cpuDifference, 3, "ms") + " (" +
                            formatted(timed[3].difference, 3, "ms") + ")",
                        formatted(timed[2].cpuDifference, 3, "ms") + " (" +
                            formatted(timed[2].difference, 3, "ms") + ") (c), 20 cells against 8",
                        "", "<= " + formatted(allowed, 3, "ms"),
                        verdict(timed[3].cpuDifference <= allowed)});

    dragRows[0] = dragStepRows(*views[0], "(a) sample", seconds, 0, failures);
    dragRows[2] =
        dragStepRows(*views[0], "(a) sample, Ctrl: every glyph", seconds, 1.05, failures, true);
    for (const auto& rows : dragRows)
        for (const BenchRow& row : rows)
            appendRow(results, row);
    return failures ? 1 : 0;
}
