#pragma once

// What render settles before Qt starts.

#include <string>

// Clears every variable through which Qt would scale the view, so that the
// sheet's cells are the viewer's 100 pixels whatever the environment says.
void clearScaleFactors();

// Where Qt is about to open the X display that DISPLAY names, tries it first:
// a display that can't be opened makes Qt abort. False with the reason where
// it can't.
bool checkDisplay(std::string& error);
