#pragma once

// The process-wide objects of Tivolan's user interface, each made on first use: the string table
// of the language chosen at start, the action texts, and the scheduler with the services it runs
// on (the tray window, the toast, the confirmation countdown and the power actions).

#include <windows.h>

#include "common/platform/string_table.h"
#include "scheduler/core/action_texts.h"
#include "scheduler/core/scheduler.h"

// The module object's language must be set before the first call; it is kept from then on.
const IStringTable& UiStrings();
const CActionTexts& ActionTexts();
CScheduler& Scheduler();

// Opens the product's web page (string 134) with the shell's default handler.
void OpenProductPage(HWND owner);
