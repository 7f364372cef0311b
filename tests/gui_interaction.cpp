#include "GlTestSupport.h"

#include "view/GoToGlyphDialog.h"

#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QToolTip>
#include <array>
#include <cmath>
#include <cstdio>
#include <random>
#include <vector>

namespace {

using P = CharGLWidgetProbe;

// Eight points of a small bent stroke, the same for every glyph.
QVector<Point3> smallGlyphs(int count) {
    QVector<Point3> stroke;
    for (int k = 0; k < 8; ++k)
        stroke.append({float(k) - 3.5f, float((k * k) % 5) - 2, 0.3f * float(k % 3)});
    return repeated(stroke, count);
}

using Orientation = std::array<float, 4>;

Orientation orientationOf(const CharGLWidget& view, int i) {
    const float* q = P::orientation(view, i);
    return {q[0], q[1], q[2], q[3]};
}

std::vector<Orientation> orientationsOf(const CharGLWidget& view) {
    std::vector<Orientation> all;
    for (int i = 0; i < P::glyphCount(view); ++i)
        all.push_back(orientationOf(view, i));
    return all;
}

const Orientation identity{0, 0, 0, 1};

// The Hamilton product a ⊗ b of quaternions stored (x, y, z, w).
Orientation hamilton(const Orientation& a, const Orientation& b) {
    const double ax = a[0], ay = a[1], az = a[2], aw = a[3];
    const double bx = b[0], by = b[1], bz = b[2], bw = b[3];
    return {
        float(aw * bx + ax * bw + ay * bz - az * by), float(aw * by - ax * bz + ay * bw + az * bx),
        float(aw * bz + ax * by - ay * bx + az * bw), float(aw * bw - ax * bx - ay * by - az * bz)};
}

// The trackball step between two drag positions.
Orientation stepBetween(float fromX, float fromY, float toX, float toY) {
    Orientation step;
    dragRotation(step.data(), fromX, fromY, toX, toY);
    return step;
}

bool nearAll(const Orientation& a, const Orientation& b, double tolerance = 1e-5) {
    for (int k = 0; k < 4; ++k)
        if (!(std::fabs(double(a[k]) - b[k]) <= tolerance))
            return false;
    return true;
}

bool near(float a, double b, double tolerance = 1e-5) {
    return std::fabs(a - b) <= tolerance;
}

// The interaction state of the glyph view as its state table describes it,
// kept apart from the view: what every event should do to the four state
// members, the flags, the scroll offset, the drag centre and position, the
// orientations and the repaint count.
struct InteractionModel {
    enum class State { Idle, PressedOff, PressedOn, Turning };
    enum class Turned { None, Active, All };

    explicit InteractionModel(int glyphs) : glyphCount(glyphs), flags(glyphs, 0) {}

    int glyphCount;
    Qt::MouseButton pressedButton = Qt::NoButton;
    int activeGlyph = -1;
    bool dragging = false;
    std::vector<unsigned char> flags;
    float scrollOffset = 0;
    float centreX = 0;
    float centreY = 0;
    float trackX = 0;
    float trackY = 0;
    float stepFromX = 0; // the drag position before the last move
    float stepFromY = 0;
    int paints = 0;
    int wheelPending = 0;         // small wheel deltas not yet a whole row
    Turned turned = Turned::None; // the orientations the last event may have changed

    State state() const {
        if (pressedButton == Qt::NoButton)
            return State::Idle;
        if (activeGlyph < 0)
            return State::PressedOff;
        return dragging ? State::Turning : State::PressedOn;
    }

    // The glyph under a widget position inside the view, or -1.
    int glyphAt(int x, int y) const {
        const float a = float(y) + scrollOffset;
        if (a < 0)
            return -1;
        const int index = int(a / 100.0f) * 4 + int(float(x) / 100.0f);
        return index < glyphCount ? index : -1;
    }

    void trackAt(QPoint at) {
        trackX = float((at.x() - double(centreX)) * 2 / 100);
        trackY = float(((400 - at.y()) - double(centreY)) * 2 / 100);
    }

    void press(QPoint at, Qt::MouseButton button) {
        turned = Turned::None;
        if (pressedButton != Qt::NoButton)
            return;
        pressedButton = button;
        activeGlyph = glyphAt(at.x(), at.y());
        if (activeGlyph >= 0) {
            centreX = float((activeGlyph % 4 + 0.5) * 100);
            centreY = float(400 - 100 * (activeGlyph / 4 + 0.5) + double(scrollOffset));
            trackAt(at);
        }
        dragging = false;
    }

    void move(QPoint at) {
        turned = Turned::None;
        if (activeGlyph < 0)
            return;
        dragging = true;
        flags[activeGlyph] |= turningFlag;
        stepFromX = trackX;
        stepFromY = trackY;
        trackAt(at);
        turned = Turned::Active;
        ++paints;
    }

    void release(Qt::MouseButton button) {
        turned = Turned::None;
        if (button != pressedButton)
            return;
        if (state() == State::Turning) {
            flags[activeGlyph] &= static_cast<unsigned char>(~turningFlag);
            dragging = false;
            ++paints;
        }
        activeGlyph = -1;
        pressedButton = Qt::NoButton;
    }

    // One delta: from 100 up, whole rows of 100; below that, deltas add up in
    // one direction, a row for every 120. A step past either bound is dropped whole.
    void wheel(int delta) {
        turned = Turned::None;
        int steps = 0;
        if (std::abs(delta) >= 100) {
            steps = int(delta / 100.0);
            wheelPending = 0;
        } else {
            if ((wheelPending < 0 && delta > 0) || (wheelPending > 0 && delta < 0))
                wheelPending = 0;
            wheelPending += delta;
            steps = wheelPending / 120;
            wheelPending %= 120;
        }
        const float candidate = float(scrollOffset - steps * 100.0);
        const double lower = 100 - 400 - 0.1;
        const double upper = 100 * std::trunc((glyphCount - 0.1) / 4) + 0.1;
        if (lower < candidate && candidate <= upper)
            scrollOffset = candidate;
        ++paints;
    }

    void key(int key) {
        turned = Turned::None;
        if (key != Qt::Key_R)
            return;
        turned = Turned::All;
        ++paints;
    }
};

// Compares the view with the model after an event; `before` holds the
// orientations from before the event. Returns an empty string when they agree.
QString mismatch(const TestView& view, const InteractionModel& model,
                 const std::vector<Orientation>& before) {
    if (P::pressedButton(view) != model.pressedButton)
        return "pressedButton";
    if (P::activeGlyph(view) != model.activeGlyph)
        return QString("activeGlyph %1, expected %2")
            .arg(P::activeGlyph(view))
            .arg(model.activeGlyph);
    if (P::dragging(view) != model.dragging)
        return "dragging";
    if (P::scrollOffset(view) != model.scrollOffset)
        return QString("scrollOffset %1, expected %2")
            .arg(P::scrollOffset(view))
            .arg(model.scrollOffset);
    if (view.paints != model.paints)
        return QString("paints %1, expected %2").arg(view.paints).arg(model.paints);
    for (int i = 0; i < model.glyphCount; ++i)
        if (P::cellFlags(view, i) != model.flags[std::size_t(i)])
            return QString("cellFlags[%1]").arg(i);
    const GridPoint centre = P::dragCentre(view);
    if (!near(centre.x, model.centreX) || !near(centre.y, model.centreY))
        return "dragCentre";
    if (!near(P::lastTrackX(view), model.trackX) || !near(P::lastTrackY(view), model.trackY))
        return QString("last track (%1, %2), expected (%3, %4)")
            .arg(P::lastTrackX(view))
            .arg(P::lastTrackY(view))
            .arg(model.trackX)
            .arg(model.trackY);
    for (int i = 0; i < model.glyphCount; ++i) {
        const Orientation now = orientationOf(view, i);
        switch (model.turned) {
        case InteractionModel::Turned::All:
            if (now != identity)
                return QString("orientation %1 not reset").arg(i);
            break;
        case InteractionModel::Turned::Active:
            if (i == model.activeGlyph) {
                // orientation ⊗ step, divided by its squared length on a renormalising call.
                Orientation expected =
                    hamilton(before[std::size_t(i)], stepBetween(model.stepFromX, model.stepFromY,
                                                                 model.trackX, model.trackY));
                if (composeCount == 0) {
                    double m = 0;
                    for (float c : expected)
                        m += double(c) * c;
                    for (float& c : expected)
                        c = float(c / m);
                }
                if (!nearAll(now, expected))
                    return QString("orientation %1 not turned by the step").arg(i);
                break;
            }
            [[fallthrough]];
        case InteractionModel::Turned::None:
            if (now != before[std::size_t(i)])
                return QString("orientation %1 changed").arg(i);
        }
    }
    return QString();
}

// A view that counts every repaint request but paints only every fourth,
// which keeps a long random run short under a software renderer.
class SometimesPaintingView : public TestView {
public:
    using TestView::TestView;

protected:
    void glDraw() override {
        if (++requests % 4 == 0)
            TestView::glDraw();
        else
            ++paints;
    }

private:
    int requests = 0;
};

// A drag in the cell of `glyph` from its centre through `offsets`, with `modifiers` held.
void dragThrough(QWidget* view, int glyph, const std::vector<QPoint>& offsets,
                 Qt::KeyboardModifiers modifiers = Qt::NoModifier) {
    const QPoint centre(glyph % 4 * 100 + 50, glyph / 4 * 100 + 50);
    press(view, centre, Qt::LeftButton, QEvent::MouseButtonPress, modifiers);
    for (const QPoint& offset : offsets)
        moveTo(view, centre + offset);
    release(view, centre + offsets.back());
}

} // namespace

class InteractionTest : public QObject {
    Q_OBJECT

private slots:
    void pressRecordsGlyphCentreAndStart() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, smallGlyphs(26));
        const int paints = view->paints;

        press(view.get(), {120, 230});
        QCOMPARE(P::activeGlyph(*view), 9);
        QCOMPARE(P::pressedButton(*view), Qt::LeftButton);
        QVERIFY(!P::dragging(*view));
        QCOMPARE(P::dragCentre(*view).x, 150.0f);
        QCOMPARE(P::dragCentre(*view).y, 150.0f);
        QVERIFY(near(P::lastTrackX(*view), -0.6));
        QVERIFY(near(P::lastTrackY(*view), 0.4));
        release(view.get(), {120, 230});
        QCOMPARE(P::pressedButton(*view), Qt::NoButton);
        QCOMPARE(P::activeGlyph(*view), -1);

        press(view.get(), {150, 250}, Qt::RightButton);
        QCOMPARE(P::pressedButton(*view), Qt::RightButton);
        QCOMPARE(P::activeGlyph(*view), 9);
        QCOMPARE(P::lastTrackX(*view), 0.0f);
        QCOMPARE(P::lastTrackY(*view), 0.0f);
        release(view.get(), {150, 250}, Qt::RightButton);

        // Scrolled: the cells and their centres move up, the press at y 0 above row 0 hits nothing.
        P::setScrollOffset(*view, 100);
        press(view.get(), {150, 250});
        QCOMPARE(P::activeGlyph(*view), 13);
        QCOMPARE(P::dragCentre(*view).y, 150.0f);
        release(view.get(), {150, 250});
        P::setScrollOffset(*view, -100);
        press(view.get(), {50, 0});
        QCOMPARE(P::activeGlyph(*view), -1);
        QCOMPARE(P::pressedButton(*view), Qt::LeftButton);
        release(view.get(), {50, 0});
        QCOMPARE(view->paints, paints);
    }

    // A click without a move changes nothing visible; a move to the same
    // position turns by the identity but still marks the glyph and repaints.
    void clickAndStillMove() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, smallGlyphs(26));
        const int paints = view->paints;
        press(view.get(), {150, 250});
        release(view.get(), {150, 250});
        QCOMPARE(view->paints, paints);
        for (int i = 0; i < 26; ++i)
            QCOMPARE(int(P::cellFlags(*view, i)), 0);

        press(view.get(), {130, 240});
        moveTo(view.get(), {130, 240});
        QCOMPARE(view->paints, paints + 1);
        QVERIFY(P::dragging(*view));
        QCOMPARE(int(P::cellFlags(*view, 9)), int(turningFlag));
        QCOMPARE(orientationOf(*view, 9), identity);

        moveTo(view.get(), {160, 220});
        const Orientation turned = orientationOf(*view, 9);
        QVERIFY(turned != identity);
        moveTo(view.get(), {160, 220});
        QCOMPARE(view->paints, paints + 3);
        if (composeCount != 0) // not the renormalising composition
            QCOMPARE(orientationOf(*view, 9), turned);
        for (int k = 0; k < 4; ++k)
            QVERIFY(near(orientationOf(*view, 9)[k], turned[k], 1e-6));

        // Leaving the cell and the view keeps turning the same glyph.
        moveTo(view.get(), {-40, 520});
        QVERIFY(orientationOf(*view, 9) != turned);
        QCOMPARE(P::activeGlyph(*view), 9);
        for (int i = 0; i < 26; ++i)
            if (i != 9)
                QCOMPARE(orientationOf(*view, i), identity);
        release(view.get(), {-40, 520});
        QCOMPARE(int(P::cellFlags(*view, 9)), 0);
        QCOMPARE(view->paints, paints + 5);
    }

    // A move turns the glyph by orientation ⊗ step: the step about the
    // glyph's own axes, after the orientation it already has.
    void moveComposesTheStepAfterTheOrientation() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, smallGlyphs(26));
        const float tilted[4] = {0.6f, 0, 0, 0.8f};
        P::setOrientation(*view, 9, tilted);
        press(view.get(), {150, 250});
        moveTo(view.get(), {175, 240});
        const Orientation step = stepBetween(0, 0, 0.5f, 0.2f);
        const Orientation after = orientationOf(*view, 9);
        QVERIFY(nearAll(after, hamilton({0.6f, 0, 0, 0.8f}, step)));
        QVERIFY(!nearAll(after, hamilton(step, {0.6f, 0, 0, 0.8f}), 1e-3));
        release(view.get(), {175, 240});
    }

    void secondButtonIsIgnoredDuringADrag() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, smallGlyphs(26));
        press(view.get(), {150, 250});
        moveTo(view.get(), {170, 240});
        const int paints = view->paints;
        const Orientation turned = orientationOf(*view, 9);
        const float trackX = P::lastTrackX(*view);

        press(view.get(), {350, 50}, Qt::RightButton);
        QCOMPARE(P::pressedButton(*view), Qt::LeftButton);
        QCOMPARE(P::activeGlyph(*view), 9);
        QCOMPARE(P::dragCentre(*view).y, 150.0f);
        QCOMPARE(P::lastTrackX(*view), trackX);
        QVERIFY(P::dragging(*view));
        release(view.get(), {350, 50}, Qt::RightButton);
        QCOMPARE(P::pressedButton(*view), Qt::LeftButton);
        QVERIFY(P::dragging(*view));
        QCOMPARE(int(P::cellFlags(*view, 9)), int(turningFlag));
        QCOMPARE(orientationOf(*view, 9), turned);
        QCOMPARE(view->paints, paints);

        moveTo(view.get(), {180, 230}, Qt::LeftButton | Qt::RightButton);
        QVERIFY(orientationOf(*view, 9) != turned);
        release(view.get(), {180, 230});
        QCOMPARE(P::pressedButton(*view), Qt::NoButton);
        QVERIFY(!P::dragging(*view));
        QCOMPARE(int(P::cellFlags(*view, 9)), 0);
        QCOMPARE(view->paints, paints + 2);
    }

    // R resets every glyph mid-drag; the drag goes on from the identity.
    void resetKeyDuringADrag() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, smallGlyphs(26));
        const float tilted[4] = {0.6f, 0, 0, 0.8f};
        P::setOrientation(*view, 0, tilted);
        P::setOrientation(*view, 25, tilted);
        press(view.get(), {150, 250});
        moveTo(view.get(), {170, 240});
        const int paints = view->paints;
        const float lastX = P::lastTrackX(*view);
        const float lastY = P::lastTrackY(*view);

        pressKey(view.get(), Qt::Key_R);
        QCOMPARE(view->paints, paints + 1);
        for (int i = 0; i < 26; ++i)
            QCOMPARE(orientationOf(*view, i), identity);
        QCOMPARE(int(P::cellFlags(*view, 9)), int(turningFlag));
        QVERIFY(P::dragging(*view));
        QCOMPARE(P::lastTrackX(*view), lastX);

        moveTo(view.get(), {120, 200});
        float step[4];
        dragRotation(step, lastX, lastY, P::lastTrackX(*view), P::lastTrackY(*view));
        for (int k = 0; k < 4; ++k)
            QVERIFY(near(orientationOf(*view, 9)[k], step[k], 1e-6));
        QCOMPARE(int(P::cellFlags(*view, 9)), int(turningFlag));
        release(view.get(), {120, 200});
        QCOMPARE(int(P::cellFlags(*view, 9)), 0);

        // Modifiers and auto-repeat don't matter; other keys do nothing at all.
        for (auto modifiers :
             {Qt::KeyboardModifiers(Qt::ShiftModifier), Qt::KeyboardModifiers(Qt::ControlModifier),
              Qt::ShiftModifier | Qt::ControlModifier}) {
            P::setOrientation(*view, 3, tilted);
            const int before = view->paints;
            pressKey(view.get(), Qt::Key_R, modifiers, modifiers == Qt::ShiftModifier);
            QCOMPARE(orientationOf(*view, 3), identity);
            QCOMPARE(view->paints, before + 1);
        }
        P::setOrientation(*view, 3, tilted);
        const int before = view->paints;
        for (int key : {Qt::Key_A, Qt::Key_Q, Qt::Key_Escape, Qt::Key_Space, Qt::Key_Shift})
            pressKey(view.get(), key);
        pressKey(view.get(), Qt::Key_T, Qt::ShiftModifier);
        QCOMPARE(orientationOf(*view, 3), Orientation({0.6f, 0, 0, 0.8f}));
        QCOMPARE(view->paints, before);
    }

    // The grid scrolls under a drag; the drag position stays measured from
    // the centre recorded at the press.
    void wheelDuringADrag() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, smallGlyphs(26));
        press(view.get(), {150, 250});
        moveTo(view.get(), {160, 250});
        const int paints = view->paints;
        QVERIFY(turnWheel(view.get(), {0, -120}));
        QCOMPARE(P::scrollOffset(*view), 100.0f);
        QCOMPARE(view->paints, paints + 1);
        QCOMPARE(P::activeGlyph(*view), 9);
        moveTo(view.get(), {170, 250});
        QCOMPARE(P::dragCentre(*view).y, 150.0f);
        QVERIFY(near(P::lastTrackX(*view), 0.4));
        QVERIFY(near(P::lastTrackY(*view), 0));
        release(view.get(), {170, 250});
        QCOMPARE(int(P::cellFlags(*view, 9)), 0);
    }

    // A double-click of any button but the left one (which opens the closer
    // look) is handed to the press handler.
    void doubleClickIsAFurtherPress() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, smallGlyphs(26));
        press(view.get(), {150, 250}, Qt::RightButton);
        release(view.get(), {150, 250}, Qt::RightButton);
        press(view.get(), {350, 50}, Qt::RightButton, QEvent::MouseButtonDblClick);
        QCOMPARE(P::pressedButton(*view), Qt::RightButton);
        QCOMPARE(P::activeGlyph(*view), 3);
        QCOMPARE(P::dragCentre(*view).x, 350.0f);
        QCOMPARE(P::dragCentre(*view).y, 350.0f);
        // A double-click while a press is in progress is ignored like any press.
        press(view.get(), {50, 50}, Qt::LeftButton, QEvent::MouseButtonDblClick);
        QCOMPARE(P::activeGlyph(*view), 3);
        QCOMPARE(view->glyphShownAlone(), -1);
        release(view.get(), {350, 50}, Qt::RightButton);
        QCOMPARE(P::pressedButton(*view), Qt::NoButton);
    }

    // Whatever takes the mouse mid-drag gets the release: the drag ends there,
    // at once where Qt says so, else with the next move, which has no button.
    // The glyph keeps its turn and loses its stippled frame; later moves turn nothing.
    void aDragEndsWhenSomethingElseTakesTheMouse() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, smallGlyphs(26));
        QWindow* window = view->windowHandle();
        for (const char* taker : {"a modal message box", "a popup menu", "a grab"}) {
            // The press then gives the view the focus a popup takes. Without a window
            // manager, X may drop an activation asked for while the last taker goes.
            QTRY_VERIFY([&] {
                view->activateWindow();
                return QTest::qWaitForWindowActive(view.get(), 200);
            }());
            QTest::mousePress(window, Qt::LeftButton, Qt::NoModifier, {150, 250});
            QTest::mouseMove(window, {170, 230});
            const Orientation turned = orientationOf(*view, 9);
            std::unique_ptr<QWidget> other;
            if (taker[2] == 'm') {
                auto* box =
                    new QMessageBox(QMessageBox::Warning, "", "", QMessageBox::Ok, view.get());
                other.reset(box);
                box->open();
            } else if (taker[2] == 'p') {
                auto* menu = new QMenu;
                other.reset(menu);
                menu->addAction("item");
                menu->popup(view->mapToGlobal(QPoint(300, 50)));
            } else {
                other = std::make_unique<QWidget>();
                other->setGeometry(view->geometry().translated(0, 450));
                other->show();
                other->grabMouse();
            }
            QVERIFY2(QTest::qWaitForWindowExposed(other.get()), taker);
            if (taker[2] != 'g')
                QTRY_VERIFY2(!P::dragging(*view), taker); // Qt tells the view at once
            QTest::mouseRelease(other->windowHandle(), Qt::LeftButton, Qt::NoModifier, {5, 5});
            other.reset();
            QTest::mouseMove(window, {190, 210});
            QVERIFY2(orientationOf(*view, 9) == turned && turned != identity, taker);
            QVERIFY2(P::pressedButton(*view) == Qt::NoButton && P::activeGlyph(*view) == -1 &&
                         !P::dragging(*view) && P::cellFlags(*view, 9) == 0,
                     taker);
            QVERIFY2(shownFrame(*view) == view->frame(), taker); // the stippled frame is gone
        }
    }

    void pressPastTheLastGlyphSelectsNothing() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, smallGlyphs(26));
        P::setScrollOffset(*view, 600); // row 6, glyphs 24 and 25, at the top
        const int paints = view->paints;
        press(view.get(), {250, 50});
        QCOMPARE(P::activeGlyph(*view), -1);
        QCOMPARE(P::pressedButton(*view), Qt::LeftButton);
        for (QPoint at : {QPoint(260, 60), QPoint(50, 50), QPoint(-10, 900)})
            moveTo(view.get(), at);
        QVERIFY(!P::dragging(*view));
        for (int i = 0; i < 26; ++i) {
            QCOMPARE(orientationOf(*view, i), identity);
            QCOMPARE(int(P::cellFlags(*view, i)), 0);
        }
        release(view.get(), {50, 50});
        QCOMPARE(P::pressedButton(*view), Qt::NoButton);
        QCOMPARE(view->paints, paints);
        // Below the last row too.
        press(view.get(), {50, 150});
        QCOMPARE(P::activeGlyph(*view), -1);
        release(view.get(), {50, 150});
    }

    void wheelScrollsWholeRowsAndAlwaysRepaints() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 26, smallGlyphs(26));
        struct Step {
            QPoint angle;
            float offset;
        };
        const Step steps[] = {
            {{0, 120}, -100}, // away from the user: the cells move down
            {{0, 50}, -100},  // less than a row
            {{0, -99}, -100}, //
            {{120, 0}, -200}, // horizontal only: scrolls vertically too
            {{0, 240}, -200}, // would pass -300: dropped whole
            {{0, 120}, -300}, //
            {{0, 120}, -300}, // the first row stays at the bottom
            {{0, -360}, 0},   //
            {{0, -240}, 200}, //
            {{-480, 0}, 600}, //
            {{0, -120}, 600}, // the last row stays at the top
            {{0, 240}, 400},  //
        };
        int paints = view->paints;
        for (const Step& step : steps) {
            QVERIFY(turnWheel(view.get(), step.angle));
            QCOMPARE(P::scrollOffset(*view), step.offset);
            QCOMPARE(view->paints, ++paints);
        }
    }

    // Ctrl+drag composes each step onto every glyph, as one drag per glyph
    // with the same steps would, bit for bit; one composition serves every
    // glyph without a turn of its own, so no glyph gains an entry.
    void ctrlDragTurnsEveryGlyphAsSeparateDragsWould() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 8, 12, smallGlyphs(12));
        const float tilted[4] = {0.6f, 0, 0, 0.8f};
        const std::vector<QPoint> steps = {{10, 5}, {25, -10}, {25, -10}, {-30, 40}};
        P::setOrientation(*view, 3, tilted);
        composeCount = 0;
        const int paints = view->paints;
        dragThrough(view.get(), 9, steps, Qt::ControlModifier);
        QCOMPARE(view->paints, paints + int(steps.size()) + 1);
        QCOMPARE(composeCount, 2 * int(steps.size()));
        QCOMPARE(P::turnsHeld(*view), std::size_t(1));
        const std::vector<Orientation> together = orientationsOf(*view);

        pressKey(view.get(), Qt::Key_R);
        QCOMPARE(orientationsOf(*view), std::vector<Orientation>(12, identity));
        QCOMPARE(P::turnsHeld(*view), std::size_t(0));
        P::setOrientation(*view, 3, tilted);
        for (int glyph = 0; glyph < 12; ++glyph) {
            composeCount = 0;
            dragThrough(view.get(), glyph, steps);
        }
        QCOMPARE(orientationsOf(*view), together);
        QVERIFY(together[0] != identity && together[3] != together[0]);

        // A plain drag after a Ctrl+drag turns its glyph on from the shared turn alone.
        pressKey(view.get(), Qt::Key_R);
        dragThrough(view.get(), 0, steps, Qt::ControlModifier);
        dragThrough(view.get(), 5, {{-20, 0}});
        const std::vector<Orientation> after = orientationsOf(*view);
        QVERIFY(after[5] != after[4]);
        QCOMPARE(std::count(after.begin(), after.end(), after[4]), 11L);

        // The composition that reaches the renormalising count falls on the
        // shared turn; the glyphs of their own count one each after it.
        composeCount = 97;
        dragThrough(view.get(), 0, {{3, 4}}, Qt::ControlModifier);
        QCOMPARE(composeCount, 1);
    }

    // Hovering names the point under the pointer, where the glyph's camera and
    // turn put it: a quarter turn about z carries (x, y) onto (y, -x) on the screen.
    void hoverNamesThePointUnderThePointer() {
        QTemporaryDir dir;
        auto view = showGlyphs(dir, 10, 8, repeated(zigZag(), 8));
        const float quarter[4] = {0, 0, std::sqrt(0.5f), std::sqrt(0.5f)};
        P::setOrientation(*view, 6, quarter);
        const QVector<Point3> points = zigZag();
        auto tipAt = [&](QPointF at) {
            const QPoint position = at.toPoint();
            QHelpEvent help(QEvent::ToolTip, position, view->mapToGlobal(position));
            QCoreApplication::sendEvent(view.get(), &help);
            return QToolTip::text();
        };
        const QPointF cell(200, 100);
        for (int k : {0, 3, 9}) {
            const Point3& p = points[k];
            const QPointF at = cell + projected(p.y, -p.x, zigZagEye());
            const QString expected =
                QString("Point %1: x %2, y %3, z 0").arg(k).arg(double(p.x)).arg(double(p.y));
            QVERIFY2(tipAt(at).endsWith("\n" + expected), qPrintable(tipAt(at)));
            QVERIFY(tipAt(at).startsWith("Glyph 6: label \"G\""));
        }
        // Half way between two points: none is near enough to name.
        const QPointF between = (projected(points[3].y, -points[3].x, zigZagEye()) +
                                 projected(points[4].y, -points[4].x, zigZagEye())) /
                                2;
        QVERIFY(!tipAt(cell + between).contains("Point"));
        QToolTip::hideText();
    }

    // Ctrl+G asks for a glyph without blocking; the glyph's row comes to the
    // top, or as near as End allows; a glyph that isn't there is said in the
    // dialog, which stays open. The last of 4,000,000 glyphs is reached too.
    void goToAGlyphByIndexOrLabel() {
        QTemporaryDir dir;
        const QString path = dir.filePath("many.alphabet");
        const int count = 4000000;
        writeGlyphFile(path, 2, count, {});
        QVERIFY(QFile::resize(path, 8 + qint64(count) * 2 * 12));
        auto view = std::make_unique<TestView>(nullptr, path.toLocal8Bit().constData());
        view->resize(400, 400);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        QCOMPARE(P::glyphCount(*view), count);
        struct Case {
            QString asked;
            double offset; // -1: refused
        };
        const Case cases[] = {
            {"3999999", 100.0 * count / 4 - 400}, {"0", 0},   {"4000000", -1}, {"Z", 600},
            {"2000003", 100.0 * 500000},          {"-1", -1}, {"", -1},
        };
        for (const Case& c : cases) {
            pressKey(view.get(), Qt::Key_G, Qt::ControlModifier);
            auto* dialog = view->findChild<GoToGlyphDialog*>();
            QVERIFY(dialog && dialog->isVisible());
            const double before = P::scrollOffset(*view);
            dialog->findChild<QLineEdit*>()->setText(c.asked);
            dialog->accept();
            if (c.offset < 0) {
                QVERIFY(dialog->isVisible());
                QCOMPARE(double(P::scrollOffset(*view)), before);
                QStringList said;
                for (const QLabel* label : dialog->findChildren<QLabel*>())
                    said << label->text();
                QVERIFY2(said.join(' ').contains("many.alphabet"), qPrintable(said.join(' ')));
                dialog->reject();
            } else {
                QVERIFY(!dialog->isVisible());
                QCOMPARE(double(P::scrollOffset(*view)), c.offset);
            }
            QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
            QVERIFY(!view->findChild<GoToGlyphDialog*>());
        }
    }

    // The dialog checks the file as it is when Enter is pressed, and its message,
    // however many lines it wraps to, is shown whole.
    void goToAGlyphChecksTheFileAsItIsNow() {
        QTemporaryDir dir;
        const QString path =
            dir.filePath("a-glyph-file-with-a-long-name-that-makes-the-message-wrap.alphabet");
        writeGlyphFile(path, 8, 26, smallGlyphs(26));
        auto view = std::make_unique<TestView>(nullptr, path.toLocal8Bit().constData());
        view->resize(400, 400);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        pressKey(view.get(), Qt::Key_G, Qt::ControlModifier);
        auto* dialog = view->findChild<GoToGlyphDialog*>();
        QVERIFY(dialog && dialog->isVisible());
        QVERIFY(QTest::qWaitForWindowExposed(dialog));

        // Rewritten with 10 glyphs while the dialog is open.
        writeGlyphFile(path + ".new", 8, 10, smallGlyphs(10));
        QCOMPARE(std::rename(QFile::encodeName(path + ".new"), QFile::encodeName(path)), 0);
        QTRY_COMPARE(P::glyphCount(*view), 10);
        dialog->findChild<QLineEdit*>()->setText("20");
        dialog->accept();
        QVERIFY(dialog->isVisible());
        QCOMPARE(double(P::scrollOffset(*view)), 0.0);
        QLabel* problem = nullptr;
        for (QLabel* label : dialog->findChildren<QLabel*>())
            if (label->text().startsWith("No glyph"))
                problem = label;
        QVERIFY(problem && problem->isVisible());
        QVERIFY2(problem->text().contains("its glyphs are 0 to 9"), qPrintable(problem->text()));
        QVERIFY(dialog->findChildren<QLabel*>().first()->text().contains("(0 to 9)"));
        // Every wrapped line fits: the label is as tall as its text needs, inside the dialog.
        QCoreApplication::processEvents();
        const int lines =
            problem->heightForWidth(problem->width()) / problem->fontMetrics().height();
        QVERIFY2(lines >= 2, qPrintable(QString::number(lines)));
        QVERIFY(problem->height() >= problem->heightForWidth(problem->width()));
        QVERIFY(problem->geometry().bottom() < dialog->height());
        QVERIFY(dialog->rect().contains(problem->geometry()));

        dialog->findChild<QLineEdit*>()->setText("9");
        dialog->accept();
        QVERIFY(!dialog->isVisible());
    }

    // Thousands of random events against the model of the state table.
    void randomEventsFollowTheStateTable() {
        QTemporaryDir dir;
        const QString path = dir.filePath("glyphs.alphabet");
        writeGlyphFile(path, 8, 26, smallGlyphs(26));
        auto view = std::make_unique<SometimesPaintingView>(nullptr, path.toLocal8Bit());
        view->resize(400, 400);
        view->show();
        QVERIFY(QTest::qWaitForWindowExposed(view.get()));
        InteractionModel model(26);
        model.paints = view->paints;

        std::mt19937 random(20240611u);
        auto uniform = [&](int low, int high) {
            return std::uniform_int_distribution<int>(low, high)(random);
        };
        // A quarter of the positions on cell centres and edges, where the arithmetic turns.
        auto coordinate = [&] {
            return uniform(0, 3) ? uniform(0, 399) : std::min(399, 50 * uniform(0, 8));
        };
        auto inside = [&] { return QPoint(coordinate(), coordinate()); };
        auto anywhere = [&] { return QPoint(uniform(-200, 600), uniform(-200, 600)); };
        auto button = [&] { return uniform(0, 2) ? Qt::LeftButton : Qt::RightButton; };
        const int deltas[] = {120, -120, 240, -240, 50, -50};
        const int keys[] = {Qt::Key_A, Qt::Key_Escape, Qt::Key_Space, Qt::Key_Shift};

        // How often each state met each kind of event, to show the stream reaches them all.
        int seen[4][5] = {};
        int droppedSteps = 0;
        QElapsedTimer timer;
        timer.start();
        for (int event = 0; event < 5000; ++event) {
            const std::vector<Orientation> before = orientationsOf(*view);
            const int state = int(model.state());
            const int kind = uniform(0, 99);
            QString what;
            if (kind < 18) {
                const QPoint at = inside();
                const bool twice = kind < 2;
                // A left double-click would open the closer look, which the model leaves out.
                const Qt::MouseButton b = twice ? Qt::RightButton : button();
                what = QString("%1 %2 at (%3, %4)")
                           .arg(twice ? "double-click" : "press")
                           .arg(b)
                           .arg(at.x())
                           .arg(at.y());
                press(view.get(), at, b,
                      twice ? QEvent::MouseButtonDblClick : QEvent::MouseButtonPress);
                model.press(at, b);
                ++seen[state][0];
            } else if (kind < 36) {
                const Qt::MouseButton b = button();
                what = QString("release %1").arg(b);
                release(view.get(), inside(), b);
                model.release(b);
                ++seen[state][1];
            } else if (kind < 80) {
                const QPoint at = kind < 72 ? inside() : anywhere();
                what = QString("move to (%1, %2)").arg(at.x()).arg(at.y());
                moveTo(view.get(), at, model.pressedButton);
                model.move(at);
                ++seen[state][2];
            } else if (kind < 92) {
                const int delta = deltas[uniform(0, 5)];
                const bool horizontal = uniform(0, 3) == 0;
                what = QString("wheel %1%2").arg(delta).arg(horizontal ? " horizontal" : "");
                const float offset = model.scrollOffset;
                if (!turnWheel(view.get(), horizontal ? QPoint(delta, 0) : QPoint(0, delta),
                               inside()))
                    QFAIL("wheel event not accepted");
                model.wheel(delta);
                droppedSteps += std::abs(delta) >= 100 && model.scrollOffset == offset;
                ++seen[state][3];
            } else if (kind < 97) {
                const auto modifiers = uniform(0, 1) ? Qt::NoModifier : Qt::ShiftModifier;
                what = "key R";
                pressKey(view.get(), Qt::Key_R, modifiers, uniform(0, 3) == 0);
                model.key(Qt::Key_R);
                ++seen[state][4];
            } else {
                const int key = keys[uniform(0, 3)];
                what = QString("key %1").arg(key);
                pressKey(view.get(), key);
                model.key(key);
            }
            const QString wrong = mismatch(*view, model, before);
            if (!wrong.isEmpty())
                QFAIL(qPrintable(QString("event %1 (%2): %3").arg(event).arg(what).arg(wrong)));
        }
        qInfo("5000 events, %d repaints, %lld ms", model.paints, timer.elapsed());
        for (int state = 0; state < 4; ++state)
            for (int kind = 0; kind < 5; ++kind)
                QVERIFY2(seen[state][kind] >= 5,
                         qPrintable(QString("state %1, event kind %2: %3 times")
                                        .arg(state)
                                        .arg(kind)
                                        .arg(seen[state][kind])));
        QVERIFY(droppedSteps >= 5);
    }
};

QTEST_MAIN(InteractionTest)
#include "gui_interaction.moc"
