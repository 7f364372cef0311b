#pragma once

// What an import's inputs are and which characters it picks.

#include "import/InputKind.h"
#include "import/text/TextEncoding.h"

#include <string>

// Reads "jhf", "svg" or "text"; false for anything else.
bool parseKind(const std::string& name, InputKind& kind);

// The characters of a --chars list such as "A-Z", "0-9a-z" or "ABC", in order,
// from its UTF-8: a character, a '-' and a later character stand for the run
// between them; a '-' first or last stands for itself. False, with `problem`
// set, where it is malformed.
bool parseCharList(const std::string& list, std::u32string& chars, std::string& problem);
