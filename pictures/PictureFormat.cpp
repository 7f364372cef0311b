#include "pictures/PictureFormat.h"

#include <strings.h>
#include <utility>

bool pictureFormatOf(const std::string& path, PictureFormat& format, std::string& error) {
    const std::size_t slash = path.rfind('/');
    const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
    const std::size_t dot = path.rfind('.');
    // A name's first dot (".png") or its last character opens no extension.
    if (dot == std::string::npos || dot <= nameStart || dot + 1 == path.size()) {
        format = PictureFormat::Png;
        return true;
    }
    const char* extension = path.c_str() + dot + 1;
    const std::pair<const char*, PictureFormat> known[] = {
        {"png", PictureFormat::Png}, {"svg", PictureFormat::Svg}, {"pdf", PictureFormat::Pdf}};
    for (const auto& [name, named] : known)
        if (!strcasecmp(extension, name)) {
            format = named;
            return true;
        }
    error = path.substr(nameStart) + ": ." + extension +
            " is no picture format written here (.png, .svg or .pdf)";
    return false;
}
