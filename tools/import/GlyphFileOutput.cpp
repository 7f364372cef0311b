#include "tools/import/GlyphFileOutput.h"

#include "alphabet/AlphabetWriter.h"

WriteOutcome writeGlyphFile(const std::string& path, const OutputRules& rules, int pointsPerGlyph,
                            int glyphCount, const Point3* points) {
    WriteOutcome outcome;
    OutputFile file;
    const OutputStatus status = file.open(path, rules, outcome.error);
    if (status != OutputStatus::Ready) {
        outcome.status = status == OutputStatus::Refused ? 2 : 1;
        return outcome;
    }
    const bool written = writeAlphabet(file.stream(), pointsPerGlyph, glyphCount, points);
    if (!file.commit(outcome.error) || !written) {
        outcome.status = 1;
        if (outcome.error.empty())
            outcome.error = "the output was not written in full";
    }
    return outcome;
}
