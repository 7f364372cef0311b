// The closer look on a whole written page in one glyph: a line of 99,000
// characters of Debian's Hershey font futural, each character's pen route
// (penRoute, lifts of a quarter of the font's height) laid side by side, about
// two million points. Times, on whatever GL the display offers:
//   the grid's full paint with that glyph in its one cell;
//   the closer look's first frame (the double-click's work: camera and chunks
//   worked out, then the frame painted and finished);
//   a drag step in the closer look at the whole glyph and at 100 times;
//   for the pixels, the closer look's frame and the grid's of one letter of
//   48 points, whose difference is what drawing 400 x 400 rather than 100 x 100
//   adds, and that letter's drag step in the closer look: what any frame of it
//   costs (clear, label, resolve, composition) whatever the glyph;
// and the process's peak resident memory against the glyph's points in float.
//
//   bench_close_look RESULTS FONT.jhf FOLDER
#include "alphabet/Point3.h"
#include "bench/BenchRows.h"
#include "bench/BenchView.h"
#include "import/pen/HersheyFont.h"
#include "import/pen/PenPath.h"
#include "tests/ViewProbe.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QMouseEvent>
#include <QTest>
#include <QWheelEvent>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <fstream>
#include <functional>
#include <sstream>
#include <string>
#include <vector>

namespace {

constexpr int characters = 99000;

// Kilobytes of a line of /proc/self/status ("VmRSS", "VmHWM").
long statusKb(const char* name) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(name, 0) == 0)
            return std::stol(line.substr(line.find(':') + 1));
    return -1;
}

bool writeWrittenLine(const std::string& fontPath, const std::string& out, long long& points) {
    std::ifstream in(fontPath);
    std::stringstream text;
    text << in.rdbuf();
    PenFont font;
    PenError error;
    if (!readHersheyFont(text.str(), font, error) || font.glyphs.empty()) {
        std::fprintf(stderr, "bench_close_look: %s: %s\n", fontPath.c_str(), error.message.c_str());
        return false;
    }
    std::vector<std::vector<Point3>> routes;
    std::vector<float> widths;
    for (const PenGlyph& glyph : font.glyphs) {
        const PenRoute route = penRoute(glyph, static_cast<float>(font.height / 4));
        if (route.points.empty())
            continue;
        float low = route.points[0].x, high = low;
        for (const Point3& p : route.points) {
            low = std::min(low, p.x);
            high = std::max(high, p.x);
        }
        std::vector<Point3> shifted = route.points;
        for (Point3& p : shifted)
            p.x -= low;
        routes.push_back(shifted);
        widths.push_back(high - low + float(font.height) / 3);
    }
    std::vector<Point3> line;
    float x = 0;
    for (int c = 0; c < characters; ++c) {
        const std::size_t k = std::size_t(c * 7) % routes.size(); // a spread of letters
        for (Point3 p : routes[k]) {
            p.x += x;
            line.push_back(p);
        }
        x += widths[k];
    }
    points = static_cast<long long>(line.size());
    std::ofstream file(out, std::ios::binary);
    const std::int32_t header[2] = {static_cast<std::int32_t>(line.size()), 1};
    file.write(reinterpret_cast<const char*>(header), sizeof header);
    file.write(reinterpret_cast<const char*>(line.data()),
               static_cast<std::streamsize>(line.size() * sizeof(Point3)));
    return bool(file);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

// Median milliseconds of `runs` calls of `step`, each finished by GL.
double timed(BenchView& view, int runs, const std::function<void()>& step) {
    std::vector<double> ms;
    for (int k = 0; k < runs; ++k) {
        QElapsedTimer timer;
        timer.start();
        step();
        view.finishPending();
        ms.push_back(timer.nsecsElapsed() / 1e6);
    }
    return median(ms);
}

void send(BenchView& view, QEvent::Type type, QPointF at, Qt::MouseButton button,
          Qt::MouseButtons held) {
    QMouseEvent event(type, at, button, held, Qt::NoModifier);
    QApplication::sendEvent(&view, &event);
}

// Median milliseconds of a drag step in the closer look: a move round a circle, finished.
double dragStep(BenchView& view, int runs) {
    send(view, QEvent::MouseButtonPress, {200, 200}, Qt::LeftButton, Qt::LeftButton);
    int step = 0;
    const double ms = timed(view, runs, [&] {
        const double a = 0.05 * ++step;
        send(view, QEvent::MouseMove, {200 + 30 * std::cos(a), 200 + 30 * std::sin(a)},
             Qt::NoButton, Qt::LeftButton);
    });
    send(view, QEvent::MouseButtonRelease, {230, 200}, Qt::LeftButton, Qt::NoButton);
    view.finishPending();
    return ms;
}

void show(BenchView& view) {
    view.show();
    if (!QTest::qWaitForWindowExposed(&view))
        std::fprintf(stderr, "bench_close_look: the view's window was not exposed\n");
    view.finishPending();
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 4) {
        std::fprintf(stderr, "usage: bench_close_look RESULTS FONT.jhf FOLDER\n");
        return 2;
    }
    const std::string rows = argv[1];
    const std::string page = std::string(argv[3]) + "/written-line.alphabet";
    const std::string letter = std::string(argv[3]) + "/one-letter.alphabet";
    long long points = 0;
    if (!writeWrittenLine(argv[2], page, points))
        return 1;
    {
        // One sample letter of 48 points, for what the pixels alone cost.
        std::ifstream in(page, std::ios::binary);
        std::vector<char> bytes(8 + 48 * sizeof(Point3));
        in.read(bytes.data(), std::streamsize(bytes.size()));
        const std::int32_t header[2] = {48, 1};
        std::copy(reinterpret_cast<const char*>(header), reinterpret_cast<const char*>(header) + 8,
                  bytes.begin());
        std::ofstream(letter, std::ios::binary).write(bytes.data(), std::streamsize(bytes.size()));
    }

    double letterGrid = 0, letterAlone = 0, letterStep = 0;
    {
        BenchView view(letter.c_str());
        show(view);
        letterGrid = timed(view, 40, [&] { view.paintOnce(false); });
        view.showGlyphAlone(0);
        letterAlone = timed(view, 40, [&] { view.paintOnce(false); });
        letterStep = dragStep(view, 40);
    }
    const double pixels = std::max(0.0, letterAlone - letterGrid);

    const long before = statusKb("VmRSS");
    BenchView view(page.c_str());
    show(view);
    const double grid = timed(view, 5, [&] { view.paintOnce(false); });
    std::vector<double> firsts;
    for (int k = 0; k < 5; ++k) {
        view.showGrid();
        view.finishPending();
        firsts.push_back(timed(view, 1, [&] { view.showGlyphAlone(0); }));
    }
    const double first = median(firsts);
    const double whole = dragStep(view, 15);
    // 100 times about a point of the route in the middle of the view.
    const CloseLookContent look = view.closeLookShown();
    const ClipPoint middle = look.projection().clip(look.cell.points[points / 2]);
    const CellPosition at = GlyphProjection::inCell(middle, look.side);
    QWheelEvent wheel(QPointF(at.x, at.y), QPointF(at.x, at.y), QPoint(), QPoint(0, 2477),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    view.finishPending();
    const double zoom = CharGLWidgetProbe::closeLookZoom(view);
    const double zoomed = dragStep(view, 40);
    const std::size_t drawn = [&] {
        std::size_t sum = 0;
        const CloseLookContent now = view.closeLookShown();
        for (const PointRun& run : now.chunks->runsInView(now.projection(), 0.04))
            sum += std::size_t(run.lineCount);
        return sum;
    }();
    const long peak = statusKb("VmHWM");
    const double pointsMiB = double(points) * sizeof(Point3) / 1048576;
    const double grownMiB = (peak - before) / 1024.0;

    const std::string name = "written line, " + std::to_string(points) + " points";
    const double allowance = grid + pixels;
    appendRow(rows,
              {"Grid paint, " + name + " in one cell", formatted(grid, 1, "ms"), "", "", "", ""});
    appendRow(rows, {"Closer look pixels: one 48-point letter alone less its grid paint",
                     formatted(pixels, 2, "ms"),
                     formatted(letterAlone, 2, "ms") + " alone, " + formatted(letterGrid, 2, "ms") +
                         " grid",
                     "", "", ""});
    appendRow(rows, {"Closer look first frame, " + name, formatted(first, 1, "ms"),
                     formatted(allowance, 1, "ms") + " grid paint + pixels",
                     formatted(first / allowance, 2), "<= 1.00", verdict(first <= allowance)});
    appendRow(rows, {"Closer look drag step, whole glyph", formatted(whole, 1, "ms"),
                     formatted(allowance, 1, "ms") + " grid paint + pixels",
                     formatted(whole / allowance, 2), "<= 1.00", verdict(whole <= allowance)});
    appendRow(
        rows,
        {"Closer look drag step at " + formatted(zoom, 0) + " times", formatted(zoomed, 2, "ms"),
         formatted(whole, 1, "ms") + " whole glyph; " + std::to_string(drawn) + " points drawn",
         formatted(zoomed / whole, 3), "", ""});
    // What the glyph adds to a step, over the frame a 48-point letter costs.
    const double glyphZoomed = std::max(0.0, zoomed - letterStep);
    const double glyphWhole = std::max(1e-9, whole - letterStep);
    appendRow(rows, {"  the glyph's own share of it, over a 48-point letter's step",
                     formatted(glyphZoomed, 2, "ms"),
                     formatted(glyphWhole, 2, "ms") + " at the whole glyph; letter's step " +
                         formatted(letterStep, 2, "ms"),
                     formatted(glyphZoomed / glyphWhole, 3), "<= 0.10",
                     verdict(glyphZoomed <= 0.1 * glyphWhole)});
    appendRow(rows,
              {"Peak memory growth (VmHWM less VmRSS before the file)",
               formatted(grownMiB, 1, "MiB"),
               formatted(pointsMiB, 1, "MiB") + " of points in float",
               formatted(grownMiB / pointsMiB, 2), "< 2.00", verdict(grownMiB < 2 * pointsMiB)});
    return 0;
}
