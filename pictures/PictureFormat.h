#pragma once

// The picture formats the viewer and the tool write, and which one a file name asks for.

#include <string>

enum class PictureFormat { Png, Svg, Pdf };

// The format the extension of `path` names: .png, .svg or .pdf in any case, PNG
// where there is none (a dot in a folder's name, first in the name or last is
// none). Any other
// extension (.jpg) names a format not written here: false, and `error` says so,
// rather than PNG bytes under a name that promises something else.
bool pictureFormatOf(const std::string& path, PictureFormat& format, std::string& error);
