#include "writing/WriteFormat.h"

#include <algorithm>
#include <cctype>
#include <utility>

namespace {

const std::pair<const char*, WriteFormat> extensions[] = {
    {"alphabet", WriteFormat::Alphabet}, {"csv", WriteFormat::Csv},   {"gcode", WriteFormat::Gcode},
    {"nc", WriteFormat::Gcode},          {"ngc", WriteFormat::Gcode}, {"svg", WriteFormat::Svg},
    {"hpgl", WriteFormat::Hpgl},         {"plt", WriteFormat::Hpgl}};

} // namespace

bool parseWriteFormat(const std::string& name, WriteFormat& format) {
    for (const char* known : {"alphabet", "csv", "gcode", "svg", "hpgl"})
        if (name == known)
            return writeFormatOf(std::string(".") + known, format);
    return false;
}

bool writeFormatOf(const std::string& path, WriteFormat& format) {
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || path.find('/', dot) != std::string::npos)
        return false;
    std::string extension = path.substr(dot + 1);
    std::transform(extension.begin(), extension.end(), extension.begin(),
                   [](unsigned char c) { return char(std::tolower(c)); });
    for (const auto& [name, kind] : extensions)
        if (extension == name) {
            format = kind;
            return true;
        }
    return false;
}
