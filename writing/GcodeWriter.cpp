#include "writing/GcodeWriter.h"

#include "writing/FixedNumber.h"

#include <cmath>

GcodeWriter::GcodeWriter(std::FILE* file, double travel, double feed, const std::string& comment)
    : out(file), travel(travel), feed(feed) {
    out.append("; " + comment + "\nG21\nG90\nG17\n");
    char line[64] = "G0 Z";
    char* end = formatThousandths(travel, line + 4);
    *end++ = '\n';
    out.append(line, std::size_t(end - line));
    units[2] = rounded(travel * 1000);
}

void GcodeWriter::move(bool rapid, const RoutePoint& p) {
    char line[128];
    char* end = line;
    *end++ = 'G';
    *end++ = rapid ? '0' : '1';
    const double values[3] = {p.x, p.y, p.z};
    const char axes[3] = {'X', 'Y', 'Z'};
    std::int64_t now[3];
    bool changed[3];
    for (int k = 0; k < 3; ++k) {
        now[k] = rounded(values[k] * 1000);
        changed[k] = now[k] != units[k] || (k < 2 && !started);
    }
    // Unchanged axes are left out, as G-code keeps them; a move that changes
    // none at this precision still names X and Y.
    if (!changed[0] && !changed[1] && !changed[2])
        changed[0] = changed[1] = true;
    for (int k = 0; k < 3; ++k) {
        if (!changed[k])
            continue;
        *end++ = ' ';
        *end++ = axes[k];
        end = formatUnits(now[k], end);
    }
    if (!rapid && lastRapid) {
        *end++ = ' ';
        *end++ = 'F';
        end = formatThousandths(feed, end);
    }
    *end++ = '\n';
    out.append(line, std::size_t(end - line));
    for (int k = 0; k < 3; ++k)
        units[k] = now[k];
    lastRapid = rapid;
    started = true;
}

void GcodeWriter::point(const RoutePoint& p) {
    if (!started) {
        // Over the first point at the travel height, then down onto it.
        move(true, {p.x, p.y, travel, false, true});
        last = {p.x, p.y, travel, false, true};
    }
    const bool upright = p.x == last.x && p.y == last.y;
    const bool rapid = p.z >= travel && (last.z >= travel || (upright && p.z > last.z));
    move(rapid, p);
    last = p;
}

bool GcodeWriter::finish() {
    char line[64] = "G0 Z";
    char* end = formatThousandths(travel, line + 4);
    for (const char c : {'\n', 'M', '2', '\n'})
        *end++ = c;
    out.append(line, std::size_t(end - line));
    return out.flush();
}
