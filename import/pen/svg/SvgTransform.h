#pragma once

#include <string>
#include <string_view>

// A 2-D affine map as SVG writes it, matrix(a b c d e f):
// x' = a x + c y + e, y' = b x + d y + f.
struct Affine {
    double a = 1, b = 0, c = 0, d = 1, e = 0, f = 0;

    // This map applied after `inner`: what an element's transform is to its child's.
    Affine operator*(const Affine& inner) const;
    double mapX(double x, double y) const { return a * x + c * y + e; }
    double mapY(double x, double y) const { return b * x + d * y + f; }
};

// Reads a transform attribute: matrix, translate, scale, rotate (with its
// optional centre), skewX and skewY, separated by blanks or commas, applied
// right to left as SVG says. False, with `problem` set, for anything else.
bool parseTransform(std::u16string_view text, Affine& result, std::string& problem);
