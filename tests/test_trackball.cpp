#include "trackball/Trackball.h"

#include <QtTest>
#include <cmath>
#include <limits>

namespace {

bool near(float a, double b, double tolerance = 1e-5) {
    return std::fabs(a - b) <= tolerance;
}

bool quaternionNear(const float q[4], double x, double y, double z, double w,
                    double tolerance = 1e-5) {
    return near(q[0], x, tolerance) && near(q[1], y, tolerance) && near(q[2], z, tolerance) &&
           near(q[3], w, tolerance);
}

float lengthOf(const float q[4]) {
    return static_cast<float>(std::sqrt(double(q[0]) * q[0] + double(q[1]) * q[1] +
                                        double(q[2]) * q[2] + double(q[3]) * q[3]));
}

// Composes the identity onto the identity until the counter is back at 0.
void resetComposeCount() {
    const float identity[4] = {0, 0, 0, 1};
    float out[4];
    while (composeCount != 0)
        composeRotations(identity, identity, out);
}

} // namespace

class TrackballTest : public QObject {
    Q_OBJECT

private slots:
    void sphereHeightFollowsSphereThenSheet() {
        QVERIFY(near(sphereHeight(0.8f, 0, 0), 0.8));
        QVERIFY(near(sphereHeight(0.8f, 0.5f, 0), 0.6245, 1e-4));
        QVERIFY(near(sphereHeight(0.8f, 0, 1), 0.32));
        QVERIFY(near(sphereHeight(0.8f, -2, 0), 0.16));
        // Either side of the seam at radius / √2, both pieces give radius / √2.
        QVERIFY(near(sphereHeight(0.8f, 0.56568539f, 0), 0.5656855, 1e-6));
        QVERIFY(near(sphereHeight(0.8f, 0.56568545f, 0), 0.5656855, 1e-6));
    }

    void dragBetweenEqualPositionsIsExactIdentity() {
        float q[4] = {9, 9, 9, 9};
        dragRotation(q, 0, 0, 0, 0);
        QCOMPARE(q[0], 0.0f);
        QCOMPARE(q[1], 0.0f);
        QCOMPARE(q[2], 0.0f);
        QCOMPARE(q[3], 1.0f);
        dragRotation(q, 0.3f, -0.2f, 0.3f, -0.2f);
        QVERIFY(q[0] == 0 && q[1] == 0 && q[2] == 0 && q[3] == 1);
    }

    void dragStepsTurnAboutTheCrossProduct() {
        float q[4];
        dragRotation(q, 0, 0, 0.1f, 0);
        QVERIFY(quaternionNear(q, 0, -0.0626229, 0, 0.998037));
        dragRotation(q, 0, 0, 0, 0.1f);
        QVERIFY(quaternionNear(q, 0.0626229, 0, 0, 0.998037));
        // Across the whole cell the chord passes 1.6: the angle is clamped at a half turn.
        dragRotation(q, -1, 0, 1, 0);
        QVERIFY(quaternionNear(q, 0, -1, 0, 0));
        QVERIFY(near(lengthOf(q), 1.0));
    }

    void dragFarOutsideTheCellStaysAUnitRotation() {
        float q[4];
        dragRotation(q, 50, -40, -75, 120);
        QVERIFY(std::isfinite(q[0]) && std::isfinite(q[3]));
        QVERIFY(near(lengthOf(q), 1.0));
    }

    void normaliseLeavesZeroVectorAndAxisGivesIdentity() {
        float v[3] = {3, 0, 4};
        normalise3(v);
        QVERIFY(near(v[0], 0.6) && near(v[1], 0) && near(v[2], 0.8));
        float zero[3] = {0, 0, 0};
        normalise3(zero);
        QVERIFY(zero[0] == 0 && zero[1] == 0 && zero[2] == 0);
        float q[4];
        rotationFromAxisAngle(zero, 1.0f, q);
        QVERIFY(q[0] == 0 && q[1] == 0 && q[2] == 0 && q[3] == 1);
        float axis[3] = {0, 0, 2};
        rotationFromAxisAngle(axis, float(M_PI / 2), q);
        QVERIFY(near(axis[2], 1.0)); // the caller's axis is left normalised
        QVERIFY(quaternionNear(q, 0, 0, 0.70710677, 0.70710677));
    }

    void composeWithIdentityAndAliasedStorage() {
        resetComposeCount();
        const float identity[4] = {0, 0, 0, 1};
        const float a[4] = {0.1f, -0.2f, 0.3f, 0.927362f};
        const float b[4] = {-0.5f, 0.5f, 0.1f, 0.7f};
        float out[4];
        composeRotations(identity, a, out);
        QVERIFY(out[0] == a[0] && out[1] == a[1] && out[2] == a[2] && out[3] == a[3]);
        composeRotations(a, identity, out);
        QVERIFY(out[0] == a[0] && out[1] == a[1] && out[2] == a[2] && out[3] == a[3]);

        // A quarter turn about z, then one about x: a third of a turn about (1, -1, 1).
        const float h = float(std::sqrt(0.5));
        const float aboutZ[4] = {0, 0, h, h}, aboutX[4] = {h, 0, 0, h};
        composeRotations(aboutZ, aboutX, out);
        QVERIFY(quaternionNear(out, 0.5, -0.5, 0.5, 0.5));

        float separate[4];
        composeRotations(a, b, separate);
        float intoSecond[4] = {b[0], b[1], b[2], b[3]};
        composeRotations(a, intoSecond, intoSecond);
        float intoFirst[4] = {a[0], a[1], a[2], a[3]};
        composeRotations(intoFirst, b, intoFirst);
        for (int i = 0; i < 4; ++i) {
            QCOMPARE(intoSecond[i], separate[i]);
            QCOMPARE(intoFirst[i], separate[i]);
        }
    }

    void every98thCompositionRenormalisesToUnitLength() {
        resetComposeCount();
        const float identity[4] = {0, 0, 0, 1};
        const float long_[4] = {0, 0, 0, 1.1f};
        float out[4];
        for (int call = 1; call <= 97; ++call) {
            composeRotations(identity, long_, out);
            QCOMPARE(out[3], 1.1f);
        }
        QCOMPARE(composeCount, 97);
        composeRotations(identity, long_, out);
        QCOMPARE(composeCount, 0);
        QVERIFY(near(out[3], 1.0, 1e-6));
        // A general quaternion comes out with unit length too.
        const float skew[4] = {0.3f, 0.4f, 0.5f, 0.9f};
        for (int call = 1; call <= 98; ++call)
            composeRotations(identity, skew, out);
        QVERIFY(near(lengthOf(out), 1.0, 1e-6));
    }

    void rotationMatrixOfIdentityAndQuarterTurn() {
        float m[16];
        const float identity[4] = {0, 0, 0, 1};
        rotationMatrix(m, identity);
        for (int i = 0; i < 16; ++i)
            QCOMPARE(m[i], (i % 5 == 0) ? 1.0f : 0.0f);
        const float quarter[4] = {0, 0, 0.70710677f, 0.70710677f};
        rotationMatrix(m, quarter);
        const double expected[16] = {0, -1, 0, 0, 1, 0, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1};
        for (int i = 0; i < 16; ++i)
            QVERIFY2(near(m[i], expected[i], 1e-6), qPrintable(QString::number(i)));
    }

    void longDragStaysNearUnitLength() {
        float orientation[4] = {0, 0, 0, 1};
        float lastX = 0, lastY = 0;
        for (int move = 1; move <= 20000; ++move) {
            float x = float(std::sin(move * 0.013) * 1.3);
            float y = float(std::cos(move * 0.007) * 1.1);
            float step[4];
            dragRotation(step, lastX, lastY, x, y);
            composeRotations(step, orientation, orientation);
            lastX = x;
            lastY = y;
        }
        QVERIFY(near(lengthOf(orientation), 1.0, 1e-4));
    }

    // Found by fuzzing: the axis of far-out positions overflowed float range, and the
    // length of a tiny axis had no float inverse; both turned the rotation into NaN.
    void extremeFinitePositionsGiveUnitRotations() {
        const float big = std::numeric_limits<float>::max();
        const float drags[][4] = {{1e6f, 0, -1e6f, -3.164929e36f},
                                  {1e-39f, 0, 0, 0},
                                  {big, big, -big, big},
                                  {-big, 0.5f, 0, 0},
                                  {0.3f, 0.2f, 0.3f, std::nextafter(0.2f, 1.0f)}};
        for (const auto& d : drags) {
            float q[4];
            dragRotation(q, d[0], d[1], d[2], d[3]);
            const QString name = QString("%1 %2 -> %3 %4").arg(d[0]).arg(d[1]).arg(d[2]).arg(d[3]);
            QVERIFY2(near(lengthOf(q), 1.0, 1e-6), qPrintable(name));
        }
        float tiny[3] = {1e-40f, 0, 0};
        normalise3(tiny);
        QCOMPARE(tiny[0], 1.0f);
        QCOMPARE(tiny[1], 0.0f);
        float huge[3] = {3e38f, -3e38f, 0};
        normalise3(huge);
        QVERIFY(near(huge[0], std::sqrt(0.5)) && near(huge[1], -std::sqrt(0.5)));
    }
};

QTEST_APPLESS_MAIN(TrackballTest)
#include "test_trackball.moc"
