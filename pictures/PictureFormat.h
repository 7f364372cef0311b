#pragma once

// The picture formats the viewer and the tool write, and which one a file name asks for.

#include <string>

enum class PictureFormat { Png, Svg, Pdf };

// The format the extension of `path` names: .svg or .pdf in any case, PNG for
// any other or none (a dot in a folder's name is no extension).
PictureFormat pictureFormatOf(const std::string& path);
