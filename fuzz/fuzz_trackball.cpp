// Fuzz target of the trackball arithmetic. The input is a drag: a start
// position and then one position per move, each two raw 32-bit floats, taken
// as they come where finite. Every move is turned into a rotation and composed
// onto the orientation the way the view does it. For finite positions every
// step must be a unit rotation, the orientation must stay finite and of unit
// length, and its matrix must be finite and orthonormal.
#include "FuzzCheck.h"
#include "trackball/Trackball.h"

#include <cstdint>
#include <cstring>

namespace {

double lengthOf(const float q[4]) {
    return std::sqrt(double(q[0]) * q[0] + double(q[1]) * q[1] + double(q[2]) * q[2] +
                     double(q[3]) * q[3]);
}

// The rows of the rotation part of m must be unit vectors at right angles.
void checkMatrix(const float m[16]) {
    FUZZ_REQUIRE(allFinite(m, 16));
    for (int a = 0; a < 3; ++a) {
        for (int b = a; b < 3; ++b) {
            double dot = 0;
            for (int k = 0; k < 3; ++k)
                dot += double(m[4 * a + k]) * m[4 * b + k];
            FUZZ_REQUIRE(std::fabs(dot - (a == b ? 1 : 0)) < 1e-3);
        }
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::size_t count = size / sizeof(float);
    if (count < 2)
        return 0;
    float values[2];
    std::memcpy(values, data, sizeof values);
    if (!allFinite(values, 2))
        return 0;
    composeCount = 0; // the same renormalisation points for every run of an input
    float lastX = values[0], lastY = values[1];
    Quaternion orientation = {0, 0, 0, 1};
    for (std::size_t i = 2; i + 1 < count; i += 2) {
        float position[2];
        std::memcpy(position, data + i * sizeof(float), sizeof position);
        if (!allFinite(position, 2))
            continue;
        Quaternion step;
        dragRotation(step, lastX, lastY, position[0], position[1]);
        FUZZ_REQUIRE(allFinite(step, 4));
        FUZZ_REQUIRE(std::fabs(lengthOf(step) - 1) < 1e-5);
        if (lastX == position[0] && lastY == position[1])
            FUZZ_REQUIRE(step[0] == 0 && step[1] == 0 && step[2] == 0 && step[3] == 1);

        composeRotations(step, orientation, orientation);
        FUZZ_REQUIRE(allFinite(orientation, 4));
        FUZZ_REQUIRE(std::fabs(lengthOf(orientation) - 1) < 1e-4);
        float matrix[16];
        rotationMatrix(matrix, orientation);
        checkMatrix(matrix);
        lastX = position[0];
        lastY = position[1];
    }
    return 0;
}
