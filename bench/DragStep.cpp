#include "bench/DragStep.h"

#include "bench/PairedTiming.h"
#include "tests/GlTestSupport.h"

#include <QApplication>
#include <QMouseEvent>
#include <cmath>
#include <cstdio>

namespace {

using Probe = CharGLWidgetProbe;

// The view's own paint of every visible cell, as after any change but a drag step.
void fullRepaint(BenchView& view) {
    Probe::redrawEverything(view);
    view.paintOnce(false);
}

int countColour(const QImage& image, QRgb colour, const QRect& area) {
    int count = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            count += image.pixel(x, y) == colour;
    return count;
}

// Failures found in the frames: the step's must equal a full repaint's, and
// over a frame filled with one colour a step must replace exactly its cell
// (every pixel where it turns every glyph) and a full repaint all of it.
int checkFrames(BenchView& view, Drag& drag, const std::string& name, bool turnAll) {
    int failures = 0;
    auto fail = [&](const char* what, int pixels) {
        std::fprintf(stderr, "bench_paint: drag step %s: %s in %d pixels\n", name.c_str(), what,
                     pixels);
        ++failures;
    };
    drag.move();
    const QImage stepped = shownFrame(view);
    Probe::redrawEverything(view);
    const QImage full = view.frame(false).convertToFormat(QImage::Format_RGB32);
    if (const int differ = differingPixels(stepped, full))
        fail("the step's frame differs from a full repaint", differ);

    const QRgb stale = qRgb(255, 0, 255);
    const QRect all = stepped.rect(), cell = turnAll ? all : drag.cell();
    fillFrame(view, QColor(stale));
    drag.move();
    const QImage cellOnly = shownFrame(view);
    const int outside = all.width() * all.height() - cell.width() * cell.height();
    if (const int left = countColour(cellOnly, stale, all) - countColour(cellOnly, stale, cell);
        left != outside)
        fail("the step redrew outside its cell", outside - left);
    if (const int inCell = countColour(cellOnly, stale, cell))
        fail("the step left its cell undrawn", inCell);
    fillFrame(view, QColor(stale));
    fullRepaint(view);
    if (const int undrawn = countColour(shownFrame(view), stale, all))
        fail("the full repaint left pixels undrawn", undrawn);
    return failures;
}

} // namespace

Drag::Drag(BenchView& view_, Qt::KeyboardModifiers modifiers_)
    : view(view_), modifiers(modifiers_) {
    const GridPoint centre = Probe::cellCentre(view, Drag::dragged);
    at = QPointF(double(centre.x), view.height() - double(centre.y));
}

void Drag::press() {
    send(QEvent::MouseButtonPress, at, Qt::LeftButton, Qt::LeftButton);
}

void Drag::move() {
    const double a = 0.1 * ++step;
    const QPointF to(std::round(at.x() + 30 * std::cos(a)), std::round(at.y() + 30 * std::sin(a)));
    send(QEvent::MouseMove, to, Qt::NoButton, Qt::LeftButton);
}

void Drag::release() {
    send(QEvent::MouseButtonRelease, at, Qt::LeftButton, Qt::NoButton);
}

QRect Drag::cell() const {
    const int side = Probe::cellSize(view);
    return QRect(static_cast<int>(at.x()) - side / 2, static_cast<int>(at.y()) - side / 2, side,
                 side);
}

void Drag::send(QEvent::Type type, QPointF position, Qt::MouseButton button,
                Qt::MouseButtons buttons) {
    QMouseEvent event(type, position, button, buttons, modifiers);
    QApplication::sendEvent(&view, &event);
    view.finishPending(); // a handler's repaint may only run once the event loop does
}

std::vector<BenchRow> dragStepRows(BenchView& view, const std::string& name, double seconds,
                                   double cpuGoal, int& failures, bool turnAll) {
    Drag drag(view, turnAll ? Qt::ControlModifier : Qt::NoModifier);
    drag.press();
    const int checkFailures = checkFrames(view, drag, name, turnAll);
    failures += checkFailures;
    warmUp([&] { drag.move(); }, [&] { fullRepaint(view); });
    const Paired t = timePaired([&] { drag.move(); }, [&] { fullRepaint(view); }, seconds);
    // Paints per move: paintGL calls, each move run through to its frame.
    constexpr int counted = 20;
    const int paintsBefore = view.paints;
    for (int k = 0; k < counted; ++k)
        drag.move();
    const double paintsPerMove = double(view.paints - paintsBefore) / counted;
    // A Ctrl+drag turns the first glyph as well, and marks no glyph of its own.
    const int watched = turnAll ? 0 : Drag::dragged;
    const float* turned = Probe::orientation(view, watched);
    if (bool(Probe::cellFlags(view, watched) & turningFlag) == turnAll || turned[3] == 1.0f) {
        std::fprintf(stderr, "bench_paint: drag step %s: the moves did not turn glyph %d\n",
                     name.c_str(), watched);
        ++failures;
    }
    drag.release();

    const bool oneCell = paintsPerMove == 1.0 && checkFailures == 0;
    const std::string drawn = turnAll ? "1 paint of every cell" : "1 paint of 1 cell";
    const std::string goal = cpuGoal > 0 ? "<= " + formatted(cpuGoal, 2) : "";
    auto cpuRow = [&](const std::string& measure, double step, double repaint,
                      const std::string& extra, const std::string& checks, bool checked) {
        const double ratio = step / repaint;
        const bool met = checked && (cpuGoal <= 0 || ratio <= cpuGoal);
        const std::string wanted = checks.empty() ? goal
                                   : goal.empty() ? checks
                                                  : checks + "; " + goal;
        return BenchRow{measure,
                        formatted(step, 2, "ms") + extra,
                        formatted(repaint, 2, "ms full repaint"),
                        formatted(ratio, 3),
                        wanted,
                        wanted.empty() ? "" : verdict(met)};
    };
    return {cpuRow("Drag step " + name + ": process CPU", t.processA, t.processB,
                   ", " + formatted(paintsPerMove, 2) + " paints", drawn, oneCell),
            cpuRow("  GUI-thread CPU", t.cpuA, t.cpuB, "", "", true),
            {"  wall, move event to finished frame", formatted(t.a, 2, "ms"),
             formatted(t.b, 2, "ms full repaint"), formatted(t.ratio, 3), "", ""}};
}
