#include "geometry/GlyphProjection.h"

#include "trackball/Trackball.h"

#include <algorithm>
#include <cmath>

namespace {

using Matrix = double[4][4];

void multiply(const Matrix a, const Matrix b, Matrix out) {
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c) {
            double sum = 0;
            for (int k = 0; k < 4; ++k)
                sum += a[r][k] * b[k][c];
            out[r][c] = sum;
        }
}

void normalise(double v[3]) {
    const double length = std::sqrt(v[0] * v[0] + v[1] * v[1] + v[2] * v[2]);
    if (length > 0)
        for (int i = 0; i < 3; ++i)
            v[i] /= length;
}

void cross(const double a[3], const double b[3], double out[3]) {
    out[0] = a[1] * b[2] - a[2] * b[1];
    out[1] = a[2] * b[0] - a[0] * b[2];
    out[2] = a[0] * b[1] - a[1] * b[0];
}

// As gluPerspective builds it, with an aspect of 1.
void perspective(Matrix out) {
    const double pi = std::acos(-1.0);
    const double f = 1 / std::tan(glyphFieldOfView * pi / 360);
    const double n = glyphNearPlane, far = glyphFarPlane;
    const Matrix p = {{f, 0, 0, 0},
                      {0, f, 0, 0},
                      {0, 0, (far + n) / (n - far), 2 * far * n / (n - far)},
                      {0, 0, -1, 0}};
    std::copy(&p[0][0], &p[0][0] + 16, &out[0][0]);
}

// As gluLookAt builds it, looking at the origin.
void lookAt(const Point3& eye, const Point3& up, Matrix out) {
    double forward[3] = {-double(eye.x), -double(eye.y), -double(eye.z)};
    const double upward[3] = {up.x, up.y, up.z};
    normalise(forward);
    double side[3], newUp[3];
    cross(forward, upward, side);
    normalise(side);
    cross(side, forward, newUp);
    const double e[3] = {eye.x, eye.y, eye.z};
    const double* rows[3] = {side, newUp, forward};
    for (int r = 0; r < 3; ++r) {
        const double sign = r == 2 ? -1 : 1;
        for (int c = 0; c < 3; ++c)
            out[r][c] = sign * rows[r][c];
        out[r][3] = -(out[r][0] * e[0] + out[r][1] * e[1] + out[r][2] * e[2]);
    }
    out[3][0] = out[3][1] = out[3][2] = 0;
    out[3][3] = 1;
}

// The turn as glMultMatrixf applies rotationMatrix's values, which it reads
// column by column; then the move of the centroid to the origin.
void turnAndCentre(const float orientation[4], const Point3& centroid, Matrix out) {
    float m[16];
    rotationMatrix(m, orientation);
    for (int r = 0; r < 4; ++r)
        for (int c = 0; c < 4; ++c)
            out[r][c] = m[c * 4 + r];
    const double g[3] = {centroid.x, centroid.y, centroid.z};
    for (int r = 0; r < 3; ++r)
        out[r][3] = -(out[r][0] * g[0] + out[r][1] * g[1] + out[r][2] * g[2]);
}

} // namespace

GlyphProjection::GlyphProjection(const GlyphCamera& camera, const float orientation[4]) {
    Matrix projection, view, turn, viewTurn;
    perspective(projection);
    lookAt(camera.eye, camera.up, view);
    turnAndCentre(orientation, camera.centroid, turn);
    multiply(view, turn, viewTurn);
    multiply(projection, viewTurn, matrix);
}

ClipPoint GlyphProjection::clip(const Point3& p) const {
    const double v[4] = {p.x, p.y, p.z, 1};
    double out[4];
    for (int r = 0; r < 4; ++r)
        out[r] = matrix[r][0] * v[0] + matrix[r][1] * v[1] + matrix[r][2] * v[2] + matrix[r][3];
    return {out[0], out[1], out[2], out[3]};
}

void GlyphProjection::magnify(double factor, double shiftX, double shiftY) {
    const double shift[2] = {shiftX, shiftY};
    for (int r = 0; r < 2; ++r)
        for (int c = 0; c < 4; ++c)
            matrix[r][c] = factor * matrix[r][c] + shift[r] * matrix[3][c];
}

bool GlyphProjection::insideDepthRange(const ClipPoint& point) {
    return point.w > 0 && -point.w <= point.z && point.z <= point.w;
}

CellPosition GlyphProjection::inCell(const ClipPoint& point, double side) {
    return {(point.x / point.w + 1) * side / 2, (1 - point.y / point.w) * side / 2};
}

ClipPoint GlyphProjection::between(const ClipPoint& a, const ClipPoint& b, double t) {
    return {a.x + (b.x - a.x) * t, a.y + (b.y - a.y) * t, a.z + (b.z - a.z) * t,
            a.w + (b.w - a.w) * t};
}

bool GlyphProjection::clipToDepthRange(const ClipPoint& a, const ClipPoint& b, double& from,
                                       double& to) {
    from = 0;
    to = 1;
    // Signed distances inside the near plane (z >= -w) and the far plane (z <= w).
    const double planes[2][2] = {{a.z + a.w, b.z + b.w}, {a.w - a.z, b.w - b.z}};
    for (const auto& d : planes) {
        if (d[0] < 0 && d[1] < 0)
            return false;
        if (d[0] < 0)
            from = std::max(from, d[0] / (d[0] - d[1]));
        else if (d[1] < 0)
            to = std::min(to, d[0] / (d[0] - d[1]));
    }
    return from <= to;
}
