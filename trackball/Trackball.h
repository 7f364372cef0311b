#pragma once

// Virtual trackball: a mouse drag inside a cell becomes a rotation about the
// cross product of two points lifted onto a ball of radius 0.8 (a sphere near
// the centre, a hyperbolic sheet further out). Quaternions are float[4] in the
// order x, y, z, w; the identity is (0, 0, 0, 1). All values are stored as
// 32-bit floats; intermediate arithmetic runs in double precision.

using Quaternion = float[4];

constexpr float trackballRadius = 0.8f;

// The rotation that turns nothing: every glyph's first orientation.
inline constexpr Quaternion identityRotation = {0, 0, 0, 1};

// Number of composeRotations calls since the last renormalisation, shared by
// every caller in the process. Every 98th composition renormalises its result
// so that rounding errors cannot build up over a long drag. Not synchronised:
// only the GUI thread composes rotations.
extern int composeCount;

// Scales v to unit length in place; a zero vector is left unchanged.
void normalise3(float v[3]);

// q = the rotation by angle (radians) about axis, which is normalised in
// place. A zero axis gives the identity.
void rotationFromAxisAngle(float axis[3], float angle, float q[4]);

// Height of the trackball surface over (x, y).
float sphereHeight(float radius, float x, float y);

// m = the rotation matrix of q, row after row, for glMultMatrixf (which reads
// it column by column and so applies the rotation by the conjugate of q).
void rotationMatrix(float m[16], const float q[4]);

// q = the rotation that carries the later drag position (p2x, p2y) onto the
// earlier one (p1x, p1y), both in normalised drag coordinates.
void dragRotation(float q[4], float p1x, float p1y, float p2x, float p2y);

// dest = q2 ⊗ q1 (Hamilton product). dest may be the same storage as q1 or q2.
void composeRotations(const float q1[4], const float q2[4], float dest[4]);
