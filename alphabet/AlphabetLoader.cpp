#include "alphabet/AlphabetLoader.h"

Point3* loadAlphabet(const char* path, int& pointsPerGlyph, int& glyphCount) {
    AlphabetFile file;
    if (!file.open(path, AlphabetFile::Storage::Memory))
        return nullptr;
    pointsPerGlyph = file.pointsPerGlyph();
    glyphCount = file.glyphCount();
    return file.releaseMemory();
}
