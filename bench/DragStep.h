#pragma once

#include "bench/BenchRows.h"
#include "bench/BenchView.h"

#include <QEvent>
#include <QPointF>
#include <QRect>
#include <string>
#include <vector>

// A drag on glyph 5 (second row, second column at the top of the grid): the
// press at its cell's centre, then moves round a circle inside the cell. Each
// event is run through to its finished frame. With Ctrl held, the drag turns
// every glyph.
class Drag {
public:
    static constexpr int dragged = 5;

    explicit Drag(BenchView& view, Qt::KeyboardModifiers modifiers = Qt::NoModifier);

    void press();
    void move();
    void release();

    // The dragged cell in the frame's pixels, top row first.
    QRect cell() const;

private:
    void send(QEvent::Type type, QPointF position, Qt::MouseButton button,
              Qt::MouseButtons buttons);

    BenchView& view;
    Qt::KeyboardModifiers modifiers;
    QPointF at;
    int step = 0;
};

// A drag step (a mouse move on a pressed glyph, handled and its paint
// finished) against a full repaint of the same state, in the view as it is
// shown: process CPU, GUI-thread CPU and wall time, one row each.
// `cpuGoal`, where above 0, is the most the CPU ratios may be. Before timing,
// the frames are checked: a step must redraw its glyph's cell and nothing
// else, into the pixels a full repaint gives; a failed check adds to `failures`.
// With `turnAll`, the drag holds Ctrl: a step turns every glyph and must
// redraw every pixel, into the pixels a full repaint gives.
std::vector<BenchRow> dragStepRows(BenchView& view, const std::string& name, double seconds,
                                   double cpuGoal, int& failures, bool turnAll = false);
