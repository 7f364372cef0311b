#pragma once

// SVG lengths with their units, and the viewports of <svg> elements: where a
// viewBox is placed in the width and height it is given.

#include "import/pen/svg/SvgTransform.h"

#include <string>
#include <string_view>

// The size percentages refer to: the nearest viewport's viewBox, or its width
// and height where it has none. Unknown at the root without either.
struct SvgViewport {
    double width = 0;
    double height = 0;
    bool known = false;
};

// Which of the viewport's sides a percentage is of: x and widths, y and
// heights, or neither (a circle's radius: the diagonal over the square root of 2).
enum class LengthAxis { X, Y, Other };

// Reads a length into user units: a number with an optional unit, px, in, cm,
// mm, pt or pc (96 px to the inch), or a percentage of the viewport. False,
// with `problem` set, for anything else (em and ex among them: no font size
// is known) or a percentage where the viewport is unknown.
bool parseLength(std::u16string_view text, LengthAxis axis, const SvgViewport& viewport,
                 double& value, std::string& problem);

struct SvgViewBox {
    double x = 0, y = 0, width = 0, height = 0;
};

// Reads a viewBox: four numbers with a width and height above 0. `problem`
// is what follows the attribute's name in a message.
bool parseViewBox(std::u16string_view text, SvgViewBox& box, std::string& problem);

// The map that places `box` in the rectangle at (x, y) of `width` by `height`
// as preserveAspectRatio `aspect` says (an empty one is its default, "xMidYMid
// meet"). False, with `problem` set, where `aspect` is malformed.
bool viewBoxMap(const SvgViewBox& box, double x, double y, double width, double height,
                std::u16string_view aspect, Affine& map, std::string& problem);
