#pragma once

// The most points per glyph a command's --points takes.
constexpr int mostPointsPerGlyph = 1000000;

// Each command takes the arguments after its name and returns the exit status.
int runSample(int argc, char** argv);
int runInfo(int argc, char** argv);
int runImport(int argc, char** argv);
int runExport(int argc, char** argv);
int runRender(int argc, char** argv);
int runWrite(int argc, char** argv);
