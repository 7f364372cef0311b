// The closer look on a whole written page in one glyph: a line of 99,000
// characters of a Hershey font, each character's pen route (penRoute, lifts
// of a quarter of the font's height) laid side by side, about two million
// points, shrunk to fit the camera's depth range. Times, on whatever GL the
// display offers:
//   the grid's full paint with that glyph in its one cell;
//   the closer look's first frame (the double-click's work: the camera
//   worked out, then the frame painted and finished);
//   a drag step in the closer look at the whole glyph and at 100 times;
//   for the pixels, the closer look's frame and the grid's of one letter of
//   48 points, whose difference is what drawing 400 x 400 rather than 100 x 100
//   adds;
// and, in processes that open straight into the closer look, its peak resident
// memory with the direction marks off and on, less a 48-point letter's,
// against the glyph's points in float.
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
#include <cstdlib>
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
    // Shrunk to 2,000 units long: the camera stands 2.1 times the largest point
    // distance away and sees no further than 5,000, so a line of 99,000
    // characters at the font's own size would lie wholly beyond the far plane
    // and no frame would draw a point of it. At this length every turn keeps
    // the whole line within the depth range.
    const float shrink = 2000 / x;
    for (Point3& p : line)
        p = {p.x * shrink, p.y * shrink, p.z * shrink};
    points = static_cast<long long>(line.size());
    std::ofstream file(out, std::ios::binary);
    const std::int32_t header[2] = {static_cast<std::int32_t>(line.size()), 1};
    file.write(reinterpret_cast<const char*>(header), sizeof header);
    file.write(reinterpret_cast<const char*>(line.data()),
               static_cast<std::streamsize>(line.size() * sizeof(Point3)));
    return bool(file);
}

// Pixels of the glyph's line or point colour inside the frame, above the label.
int glyphPixels(const QImage& image) {
    int count = 0;
    for (int y = 8; y < image.height() - 40; ++y)
        for (int x = 8; x < image.width() - 8; ++x) {
            const QRgb c = image.pixel(x, y);
            count += qBlue(c) < 64 && qGreen(c) < 64;
        }
    return count;
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

void pressKey(BenchView& view, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&view, &press);
    view.finishPending();
}

void zoomAbout(BenchView& view, const CellPosition& at, int delta) {
    QWheelEvent wheel(QPointF(at.x, at.y), QPointF(at.x, at.y), QPoint(), QPoint(0, delta),
                      Qt::NoButton, Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(&view, &wheel);
    view.finishPending();
}

// Where a point of the route in the middle of the line shows in the closer look.
CellPosition middleOfRoute(const BenchView& view, long long points) {
    const CloseLookContent look = view.closeLookShown();
    return GlyphProjection::inCell(look.projection().clip(look.cell.points[points / 2]), look.side);
}

// The closer look alone, in a process of its own that never paints the grid
// (whose immediate-mode drawing would set the peak): opened as --glyph 0
// opens it, dragged whole and at 100 times with the direction marks off and
// on. Prints the growth of the peak resident memory in KiB.
int closeLookMemory(const char* page, long long points) {
    const long before = statusKb("VmRSS");
    BenchView view(page);
    view.showGlyphAlone(0);
    show(view);
    for (bool marks : {false, true}) {
        if (marks)
            pressKey(view, Qt::Key_D);
        dragStep(view, 2);
        const CellPosition at = middleOfRoute(view, points);
        zoomAbout(view, at, 2477);
        dragStep(view, 5);
        pressKey(view, Qt::Key_Home);
    }
    std::printf("%ld\n", statusKb("VmHWM") - before);
    return 0;
}

// closeLookMemory() of `page` run by this program anew, or -1.
long closeLookMemoryRun(const char* self, const std::string& page, long long points) {
    const std::string command =
        std::string(self) + " --memory '" + page + "' " + std::to_string(points);
    long grownKb = -1;
    if (FILE* child = popen(command.c_str(), "r")) {
        if (std::fscanf(child, "%ld", &grownKb) != 1)
            grownKb = -1;
        if (pclose(child) != 0)
            grownKb = -1;
    }
    return grownKb;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc == 4 && std::string(argv[1]) == "--memory")
        return closeLookMemory(argv[2], std::atoll(argv[3]));
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

    double letterGrid = 0, letterAlone = 0;
    {
        BenchView view(letter.c_str());
        show(view);
        letterGrid = timed(view, 40, [&] { view.paintOnce(false); });
        view.showGlyphAlone(0);
        letterAlone = timed(view, 40, [&] { view.paintOnce(false); });
    }
    const double pixels = std::max(0.0, letterAlone - letterGrid);

    // The closer look's memory first, each in a process of its own: the
    // written line's, less the 48-point letter's, which is what any GL view
    // costs (driver, shaders, fonts) whatever the glyph.
    const long pageKb = closeLookMemoryRun(argv[0], page, points);
    const long letterKb = closeLookMemoryRun(argv[0], letter, 48);
    if (pageKb < 0 || letterKb < 0) {
        std::fprintf(stderr, "bench_close_look: the memory run failed\n");
        return 1;
    }
    const long grownKb = pageKb - letterKb;

    BenchView view(page.c_str());
    show(view);
    const double grid = timed(view, 3, [&] { view.paintOnce(false); });
    std::vector<double> firsts;
    for (int k = 0; k < 3; ++k) {
        view.showGrid();
        view.finishPending();
        firsts.push_back(timed(view, 1, [&] { view.showGlyphAlone(0); }));
    }
    const double first = median(firsts);
    const double whole = dragStep(view, 5);
    // A step that draws nothing would be timed as cheap: the glyph must show.
    if (glyphPixels(view.frame(false)) == 0) {
        std::fprintf(stderr, "bench_close_look: the closer look shows none of the written line\n");
        return 1;
    }
    // 100 times about a point of the route in the middle of the view.
    zoomAbout(view, middleOfRoute(view, points), 2477);
    const double zoom = CharGLWidgetProbe::closeLookZoom(view);
    const double zoomed = dragStep(view, 40);
    const std::size_t drawn = [&] {
        std::size_t sum = 0;
        const CloseLookContent now = view.closeLookShown();
        for (const PointRun& run : now.chunks->runsInView(now.projection(), 0.04))
            sum += std::size_t(run.lineCount);
        return sum;
    }();
    const double pointsMiB = double(points) * sizeof(Point3) / 1048576;
    const double grownMiB = double(grownKb) / 1024.0;

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
         formatted(zoomed / whole, 3), "<= 0.10", verdict(zoomed <= 0.1 * whole)});
    appendRow(rows,
              {"Closer look peak memory, D off and on, over a 48-point letter's (" +
                   formatted(letterKb / 1024.0, 1, "MiB") + ")",
               formatted(grownMiB, 1, "MiB"),
               formatted(pointsMiB, 1, "MiB") + " of points in float",
               formatted(grownMiB / pointsMiB, 2), "< 2.00", verdict(grownMiB < 2 * pointsMiB)});
    return 0;
}
