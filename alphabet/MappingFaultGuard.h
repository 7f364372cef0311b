#pragma once

#include <cstddef>

// Keeps a read-only file mapping from ending the process when the file is
// truncated or rewritten shorter while mapped. A read of a page past the new
// end raises SIGBUS; for an address in a watched range the handler maps a page
// of zeros there instead, so the read goes on and sees zeros, and marks the
// range damaged. A SIGBUS anywhere else goes to the handler installed before
// this one, or ends the process as it would have without it.

// Starts watching [start, start + length) and returns its slot, or -1 where
// none is free or the handler can't be installed (the caller then reads the
// file into memory instead). The first call installs the SIGBUS handler.
int guardMapping(const void* start, std::size_t length);

// True once a read in the slot's range found the file shorter than mapped.
bool mappingDamaged(int slot);

// Stops watching the slot's range; call it before unmapping the range.
void releaseMappingGuard(int slot);
