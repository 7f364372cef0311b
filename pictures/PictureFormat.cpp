#include "pictures/PictureFormat.h"

#include <strings.h>

PictureFormat pictureFormatOf(const std::string& path) {
    const std::size_t slash = path.rfind('/');
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || (slash != std::string::npos && dot < slash))
        return PictureFormat::Png;
    const char* extension = path.c_str() + dot + 1;
    if (!strcasecmp(extension, "svg"))
        return PictureFormat::Svg;
    return strcasecmp(extension, "pdf") ? PictureFormat::Png : PictureFormat::Pdf;
}
