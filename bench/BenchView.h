#pragma once

#include "view/CharGLWidget.h"

#include <QImage>
#include <QPoint>
#include <QString>
#include <cstddef>
#include <vector>

// What the floor frame needs of one drawn cell, all worked out beforehand.
struct FloorCell {
    float x = 0, y = 0; // lower-left corner, GL window coordinates
    bool turning = false;
    bool visible = false;
    GLfloat glyphProjection[16];
    GLfloat glyphModelView[16];
    const Point3* points = nullptr;
    QPoint labelAt;
    QString label;
};

// The glyph view, able to paint either itself or its floor frame: a bare loop
// that issues the same GL primitives through the view's cell painter, with
// every camera, matrix and label position worked out beforehand. Both run as its paintGL, so Qt
// paints them alike: into the widget's multisampled FBO, in its context, then resolved, composed
// into the window and swapped.
class BenchView : public CharGLWidget {
public:
    static constexpr int side = 400;

    explicit BenchView(const char* path);

    int paints = 0; // paintGL calls, however they came
    bool floor = false;

    // One full paint as the view's handlers ask for it (glDraw), with the
    // event queue drained and GL finished: Qt may post the repaint instead of
    // running it at once. Runs the view's paintGL, or the floor's.
    void paintOnce(bool asFloor);

    // Runs whatever the event queue holds, such as a repaint that a handler
    // asked for and Qt deferred, and waits until GL has finished it.
    void finishPending();

    // The frame as the view (or floor) paints it, resolved and read back, top row first.
    QImage frame(bool asFloor);

    // Whether the last paint drew into the widget's own FBO (checked when asked).
    bool checkTarget = false;
    bool drewIntoOwnFbo = false;

    // Works out every floor cell from the view's state as it is now.
    void prepareFloor();
    std::size_t floorCells() const { return cells.size(); }

    // Samples per pixel of the FBO the view draws into.
    int samples();

protected:
    void paintGL() override;

private:
    void paintFloor();

    std::vector<FloorCell> cells;
    int pointCount = 0;
};
