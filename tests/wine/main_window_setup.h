#pragma once

// What the program does before it makes its main window, for the tests that make one: the common
// controls its pages use, the module in the given language, and a message loop for its filters.

#include <windows.h>

#include <commctrl.h>

#include "common/ui/app_module.h"
#include "common/ui/message_loop.h"

inline void StartMainWindowModule(CMessageLoop& loop, LANGID language) {
    INITCOMMONCONTROLSEX controls{};
    controls.dwSize = sizeof(controls);
    controls.dwICC = ICC_BAR_CLASSES | ICC_TAB_CLASSES | ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES;
    ::InitCommonControlsEx(&controls);
    CAppModule::Instance().Init(nullptr, language);
    CAppModule::Instance().AddMessageLoop(&loop);
}
