// Paint benchmark, on whatever GL the display offers (Mesa llvmpipe under Xvfb
// for `make bench`). Each case times a full paint of the glyph view (glDraw,
// buffer swap included, then glFinish) beside a floor frame: a bare loop that
// issues the same GL primitives (viewports, frames, strips, points, labels
// through renderText) with every camera, matrix, label position and font
// worked out beforehand. The ratio of the two is what the view adds on top of
// the GL work itself. Both frames must give the same pixels, or the floor
// isn't drawing what the view draws and the run fails.
//
//   bench_paint RESULTS SAMPLE_FILE POINTS10K_FILE GLYPHS100K_FILE
//   bench_paint --hashes SAMPLE_FILE POINTS10K_FILE GLYPHS100K_FILE [PNG_FOLDER]
//   bench_paint --profile FILE FRAMES [last-row][,floor]
//
// --hashes prints a checksum of the view's frame in every case instead of
// timing, to show that a change to the view leaves its pixels as they were,
// and saves the frames as PNGs where a folder is given. --profile only
// paints, for valgrind --tool=callgrind --toggle-collect='QGLWidget::updateGL()'.
#include <GL/glew.h>

#include "bench/BenchRows.h"
#include "tests/ViewProbe.h"
#include "view/GlyphCamera.h"

#include <GL/glu.h>
#include <QApplication>
#include <QFont>
#include <QImage>
#include <QMouseEvent>
#include <QTest>
#include <algorithm>
#include <chrono>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace {

using Clock = std::chrono::steady_clock;
using Probe = CharGLWidgetProbe;

constexpr int viewSide = 400;
constexpr GLbitfield savedAttributes = GL_ENABLE_BIT | GL_LINE_BIT | GL_CURRENT_BIT;

// What the floor frame needs of one drawn cell, all worked out beforehand.
struct FloorCell {
    GLint x = 0, y = 0;
    bool turning = false;
    bool visible = false;
    GLfloat frameProjection[16];
    GLfloat glyphProjection[16];
    GLfloat glyphModelView[16];
    const Point3* points = nullptr;
    int labelX = 0, labelY = 0;
    QString label;
};

void squareLoop(float low, float high) {
    glBegin(GL_LINE_LOOP);
    glVertex2f(low, low);
    glVertex2f(low, high);
    glVertex2f(high, high);
    glVertex2f(high, low);
    glEnd();
}

// The glyph view, able to paint either itself or its floor frame, and to
// keep the pixels of a frame before its buffers are swapped.
class BenchView : public CharGLWidget {
public:
    explicit BenchView(const char* path) : CharGLWidget(nullptr, path) {
        setFixedSize(viewSide, viewSide);
    }

    bool floor = false;
    bool capture = false;
    int paints = 0; // paintGL calls, however they came
    std::vector<unsigned char> pixels;

    // One full paint, swap included, finished before it returns.
    void paintOnce(bool asFloor) {
        floor = asFloor;
        updateGL();
        glFinish();
    }

    // Works out every floor cell from the view's state as it is now.
    void prepareFloor() {
        makeCurrent();
        cells.clear();
        const int count = Probe::glyphCount(*this);
        const int size = Probe::cellSize(*this);
        const int columns = Probe::columns(*this);
        const float scroll = Probe::scrollOffset(*this);
        const int points = Probe::pointsPerGlyph(*this);
        pointCount = points;
        font = QFont("Lucida Console", 16, 50, false);
        font.setStyleStrategy(QFont::PreferAntialias);
        for (int i = 0; i < count; ++i) {
            const GridPoint corner = cellCornerOf(i, scroll, size, columns, viewSide);
            if (corner.y > viewSide)
                continue;
            if (corner.y < -size)
                break;
            FloorCell cell;
            cell.x = static_cast<GLint>(corner.x);
            cell.y = static_cast<GLint>(corner.y);
            cell.turning = (Probe::cellFlags(*this, i) & turningFlag) != 0;
            cell.points = Probe::glyphPoints(*this)[i];

            glMatrixMode(GL_PROJECTION);
            glLoadIdentity();
            gluOrtho2D(0, 100, 0, 100);
            glGetFloatv(GL_PROJECTION_MATRIX, cell.frameProjection);

            const GlyphCamera camera = placeGlyphCamera(cell.points, points);
            cell.visible = camera.visible;
            glLoadIdentity();
            gluPerspective(60, 1, 0.1, 5000);
            glGetFloatv(GL_PROJECTION_MATRIX, cell.glyphProjection);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            gluLookAt(camera.eye.x, camera.eye.y, camera.eye.z, 0, 0, 0, camera.up.x, camera.up.y,
                      camera.up.z);
            float rotation[16];
            rotationMatrix(rotation, Probe::orientation(*this, i));
            glMultMatrixf(rotation);
            glTranslatef(-camera.centroid.x, -camera.centroid.y, -camera.centroid.z);
            glGetFloatv(GL_MODELVIEW_MATRIX, cell.glyphModelView);

            const float width = static_cast<float>(16 * double(0.83f) * 1);
            const float half = static_cast<float>(size * 0.5);
            const GridPoint centre = cellCentreOf(i, scroll, size, columns, height());
            const float x = static_cast<float>(double(centre.x) + (half - 10) - width);
            const float yGl = static_cast<float>(double(centre.y) + (10 - half));
            cell.labelX = static_cast<int>(x);
            cell.labelY = static_cast<int>(static_cast<float>(height() - double(yGl)));
            cell.label = QString(QChar::fromLatin1(static_cast<char>((65 + i) % 256)));
            cells.push_back(cell);
        }
    }

    std::size_t floorCells() const { return cells.size(); }

protected:
    void paintGL() override {
        ++paints;
        if (floor)
            paintFloor();
        else
            CharGLWidget::paintGL();
        if (capture) {
            pixels.resize(std::size_t(viewSide) * viewSide * 4);
            glReadPixels(0, 0, viewSide, viewSide, GL_RGBA, GL_UNSIGNED_BYTE, pixels.data());
        }
    }

private:
    void paintFloor() {
        glClear(GL_COLOR_BUFFER_BIT | GL_DEPTH_BUFFER_BIT);
        for (const FloorCell& cell : cells) {
            glViewport(cell.x, cell.y, 100, 100);
            glEnable(GL_MULTISAMPLE);

            glPushAttrib(savedAttributes);
            glLineWidth(2);
            glDisable(GL_LIGHTING);
            glMatrixMode(GL_PROJECTION);
            glLoadMatrixf(cell.frameProjection);
            glMatrixMode(GL_MODELVIEW);
            glLoadIdentity();
            glColor3f(0, 0, 1);
            squareLoop(2.5f, 97.5f);
            if (cell.turning) {
                glLineStipple(1, 0xAAAA);
                glEnable(GL_LINE_STIPPLE);
                squareLoop(4.5f, 95.5f);
                glDisable(GL_LINE_STIPPLE);
            }
            glPopAttrib();

            glPushAttrib(savedAttributes);
            if (cell.visible) {
                glMatrixMode(GL_PROJECTION);
                glLoadMatrixf(cell.glyphProjection);
                glMatrixMode(GL_MODELVIEW);
                glLoadMatrixf(cell.glyphModelView);
                glLineWidth(2);
                glColor3f(0, 0, 0);
                glBegin(GL_LINE_STRIP);
                for (int k = 0; k < pointCount; ++k)
                    glVertex3fv(&cell.points[k].x);
                glEnd();
                glColor3f(1, 0, 0);
                glPointSize(5);
                glBegin(GL_POINTS);
                for (int k = 0; k < pointCount; ++k)
                    glVertex3fv(&cell.points[k].x);
                glEnd();
            }
            glPopAttrib();

            glPushAttrib(savedAttributes);
            glColor3f(0, 0, 0);
            renderText(cell.labelX, cell.labelY, cell.label, font);
            glPopAttrib();
            glEnable(GL_MULTISAMPLE);
        }
        glFlush();
    }

    std::vector<FloorCell> cells;
    QFont font;
    int pointCount = 0;
};

std::uint64_t checksum(const std::vector<unsigned char>& bytes) {
    std::uint64_t hash = 1469598103934665603ULL;
    for (unsigned char b : bytes)
        hash = (hash ^ b) * 1099511628211ULL;
    return hash;
}

std::vector<unsigned char> framePixels(BenchView& view, bool asFloor) {
    view.capture = true;
    view.paintOnce(asFloor);
    view.capture = false;
    return view.pixels;
}

std::size_t differingPixels(const std::vector<unsigned char>& a,
                            const std::vector<unsigned char>& b) {
    std::size_t count = 0;
    for (std::size_t k = 0; k + 3 < a.size() && k + 3 < b.size(); k += 4)
        count += !std::equal(&a[k], &a[k] + 4, &b[k]);
    return count + (a.size() != b.size() ? 1 : 0);
}

double median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    const std::size_t n = values.size();
    return n % 2 ? values[n / 2] : (values[n / 2 - 1] + values[n / 2]) / 2;
}

// CPU time of the calling thread: the GUI thread, where the view does its own
// work, while llvmpipe rasterizes on threads of its own.
double threadCpuMilliseconds() {
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return now.tv_sec * 1e3 + now.tv_nsec / 1e6;
}

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

// Per-frame milliseconds of `a` and `b`: one frame of each in turn, the order
// alternating, for about `seconds` in all, so that a change in the machine's
// load falls on both alike. Medians, so that frames held up by other processes
// count for little. The ratio is the ratio of the medians; the difference is
// the median of the differences within each pair. `between`, where given,
// runs after each pair, untimed.
struct Paired {
    double a = 0, b = 0, ratio = 0, difference = 0;
    double cpuDifference = 0; // the same for this thread's CPU time alone
};

Paired timePaired(const std::function<void()>& a, const std::function<void()>& b, double seconds,
                  const std::function<void()>& between = {}) {
    Clock::time_point start = Clock::now();
    a();
    b();
    const double both = std::max(millisecondsSince(start), 0.01);
    const int pairs = std::max(40, std::min(1000, static_cast<int>(seconds * 1000 / both)));
    std::vector<double> timesA, timesB, differences, cpuDifferences;
    for (int pair = 0; pair < pairs; ++pair) {
        double ms[2], cpu[2];
        for (int turn = 0; turn < 2; ++turn) {
            const bool doA = (turn == 0) == (pair % 2 == 0);
            const double cpuStart = threadCpuMilliseconds();
            start = Clock::now();
            doA ? a() : b();
            ms[doA ? 0 : 1] = millisecondsSince(start);
            cpu[doA ? 0 : 1] = threadCpuMilliseconds() - cpuStart;
        }
        timesA.push_back(ms[0]);
        timesB.push_back(ms[1]);
        differences.push_back(ms[0] - ms[1]);
        cpuDifferences.push_back(cpu[0] - cpu[1]);
        if (between)
            between();
    }
    const double medianA = median(timesA), medianB = median(timesB);
    return {medianA, medianB, medianA / medianB, median(differences), median(cpuDifferences)};
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

// CPU milliseconds of the paint loop's walk over the cells above the view, as
// paintGL does it, for the view as it is now.
double skipWalkMilliseconds(const BenchView& view) {
    const int count = Probe::glyphCount(view);
    const double start = threadCpuMilliseconds();
    CellWalk cell(Probe::scrollOffset(view), Probe::cellSize(view), Probe::columns(view), viewSide);
    int i = 0;
    for (; i < count && cell.cornerY() > viewSide; ++i)
        cell.next();
    const double ms = threadCpuMilliseconds() - start;
    volatile int firstDrawn = i; // keeps the walk
    (void)firstDrawn;
    return ms;
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
}

// Saves a frame read back from GL (rows bottom to top) as a PNG.
void savePng(const std::vector<unsigned char>& pixels, const QString& path) {
    QImage image(pixels.data(), viewSide, viewSide, QImage::Format_RGBA8888);
    image.mirrored().save(path);
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
            const auto viewFrame = framePixels(view, false);
            const auto floorFrame = framePixels(view, true);
            const std::size_t differ = differingPixels(viewFrame, floorFrame);
            failures += differ != 0;
            std::printf("%-28s %-8s view %016llx  floor differs in %zu pixels\n", c.name.c_str(),
                        turned ? "turned" : "",
                        static_cast<unsigned long long>(checksum(viewFrame)), differ);
            if (pngFolder)
                savePng(viewFrame, QString("%1/frame%2.png").arg(pngFolder).arg(++saved));
        }
    }
    return failures ? 1 : 0;
}

// Paints the view (or its floor frame) `frames` times, for a profiler to
// watch QGLWidget::updateGL.
int paintForProfile(const char* file, int frames, const std::string& options) {
    BenchView view(file);
    showView(view);
    if (options.find("last-row") != std::string::npos)
        scrollToLastRow(view);
    const bool floor = options.find("floor") != std::string::npos;
    view.prepareFloor();
    view.paintOnce(floor);
    for (int f = 0; f < frames; ++f)
        view.paintOnce(floor);
    return 0;
}

} // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if ((argc == 5 || argc == 6) && mode == "--hashes")
        return printHashes(argv + 2, argc == 6 ? argv[5] : nullptr);
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
    double skipMs = 0;
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
        for (int warm = 0; warm < 3; ++warm) {
            view.paintOnce(false);
            view.paintOnce(true);
        }
        const std::size_t differ =
            differingPixels(framePixels(view, false), framePixels(view, true));
        if (differ) {
            std::fprintf(stderr, "bench_paint: %s: floor frame differs in %zu pixels\n",
                         c.name.c_str(), differ);
            ++failures;
        }
        // For (d), the walk over the skipped cells is timed alone between the
        // pairs, under the same conditions as the frames.
        std::vector<double> walks;
        auto walk = [&] { walks.push_back(skipWalkMilliseconds(view)); };
        const Paired t = timePaired([&] { view.paintOnce(false); }, [&] { view.paintOnce(true); },
                                    seconds, c.lastRow ? std::function<void()>(walk) : nullptr);
        timed[n] = t;
        if (c.lastRow)
            skipMs = median(walks);
        paintRows[n] = {"Paint " + c.name + " (" + std::to_string(view.floorCells()) +
                            " cells drawn)",
                        formatted(t.a, 2, "ms"),
                        formatted(t.b, 2, "ms floor; GUI thread ") +
                            formatted(t.cpuDifference, 3, "ms") + " CPU more",
                        formatted(t.ratio, 3),
                        "<= 1.10",
                        verdict(t.ratio <= 1.10)};
        if (n != 0 && n != 2)
            views[n].reset();
    }

    views[0]->makeCurrent();
    const char* renderer = reinterpret_cast<const char*>(glGetString(GL_RENDERER));
    appendRow(results, {"GL renderer", renderer ? renderer : "unknown",
                        views[0]->format().sampleBuffers() ? "multisampled" : "no multisampling",
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
    // less than wall time; wall time in brackets). Beyond the walk over the
    // skipped cells, timed alone, it should add no more than what (c) adds
    // over its floor for its 20 drawn cells: (d) draws 8.
    const double cExtra = std::max(0.0, timed[2].cpuDifference);
    const double allowed = skipMs + cExtra;
    appendRow(results, {"(d) over its floor: GUI-thread CPU (wall)",
                        formatted(timed[3].cpuDifference, 3, "ms") + " (" +
                            formatted(timed[3].difference, 3, "ms") + ")",
                        formatted(skipMs, 3, "ms skip loop + ") + formatted(cExtra, 3, "ms") +
                            " (c) over its floor",
                        "", "<= " + formatted(allowed, 3, "ms"),
                        verdict(timed[3].cpuDifference <= allowed)});

    // A drag step on the sample: a mouse move handled through to the finished
    // frame, against one paint of the same state.
    {
        BenchView& view = *views[0];
        const QPointF centre(150, 150); // glyph 5
        QMouseEvent press(QEvent::MouseButtonPress, centre, Qt::LeftButton, Qt::LeftButton,
                          Qt::NoModifier);
        QApplication::sendEvent(&view, &press);
        int step = 0;
        auto move = [&] {
            const double a = 0.1 * ++step;
            const QPointF at(std::round(150 + 30 * std::cos(a)),
                             std::round(150 + 30 * std::sin(a)));
            QMouseEvent event(QEvent::MouseMove, at, Qt::NoButton, Qt::LeftButton, Qt::NoModifier);
            QApplication::sendEvent(&view, &event);
            glFinish();
        };
        move();
        const Paired t = timePaired(
            move, [&] { view.paintOnce(false); }, seconds);
        // Paints per move, with whatever a move may have queued run as well.
        QApplication::processEvents();
        constexpr int counted = 20;
        const int paintsBefore = view.paints;
        for (int k = 0; k < counted; ++k)
            move();
        QApplication::processEvents();
        const double paintsPerMove = double(view.paints - paintsBefore) / counted;
        const float* turned = Probe::orientation(view, 5);
        if (!(Probe::cellFlags(view, 5) & turningFlag) || turned[3] == 1.0f) {
            std::fprintf(stderr, "bench_paint: the moves did not turn glyph 5\n");
            ++failures;
        }
        QMouseEvent release(QEvent::MouseButtonRelease, centre, Qt::LeftButton, Qt::NoButton,
                            Qt::NoModifier);
        QApplication::sendEvent(&view, &release);
        // One paint per move, and no more time than a paint: the move's own
        // work is far below the few percent of a paint's timing noise.
        appendRow(results,
                  {"Drag step on the sample: move event to finished frame",
                   formatted(t.a, 2, "ms") + ", " + formatted(paintsPerMove, 2) + " paints",
                   formatted(t.b, 2, "ms one paint"), formatted(t.ratio, 3),
                   "1 paint; <= 1.05 (noise)", verdict(paintsPerMove == 1.0 && t.ratio <= 1.05)});
    }
    return failures ? 1 : 0;
}
