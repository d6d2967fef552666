#pragma once

// Tivolan's application user model identifier: set on the process at start, and the owner of the
// jump list and of the pinned shortcut, so the taskbar groups all three as one program.
inline constexpr const wchar_t* kAppUserModelId = L"merrowin.tivolan";
