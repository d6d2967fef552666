#pragma once

// The partner notification's switch, HKCU\Software\Quillpack "criteo": absent (or 1) lets the partner
// program run, 0 stops it. Every parsed version document sets it; the launcher reads it.

#include "common/platform/registry.h"

// Deletes the value when the document enabled the partner notification and writes 0 otherwise. Only
// an existing key is written to; one that cannot be opened is left alone.
void RecordPartnerSwitch(IRegistry& registry, bool enabled);

// True when the key or the value is missing, the value is not a 4-byte REG_DWORD, or it is 1.
bool IsPartnerSwitchOn(IRegistry& registry);
