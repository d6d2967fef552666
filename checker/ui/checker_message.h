#pragma once
// The checker's message boxes and icon: every box carries the same title string, and both the
// check and the update dialog show the program's own icon.

#include <windows.h>

#include "common/ui/gdi_owners.h"

// MessageBoxW with string `textId` of the module's language and the checker's title.
int ShowCheckerMessage(HWND owner, UINT textId, UINT type);

// Icon 128 at `size` pixels square, drawn from the best of its images.
UniqueIcon LoadProgramIcon(int size);
