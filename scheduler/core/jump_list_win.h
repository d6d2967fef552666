#pragma once

// Tivolan's taskbar jump list: seven user tasks that start the program with "/A /M n" to perform
// action n (ShutDown..LockWindows) at once. COM must be initialised on the calling thread.

#include <windows.h>

#include <objectarray.h>
#include <shobjidl.h>

#include <array>
#include <cstddef>
#include <string>

#include "common/platform/com_ptr.h"

constexpr size_t kJumpListTaskCount = 7;
// The task titles, ActionName of actions 0..6 in the running program's language.
using JumpListTitles = std::array<std::wstring, kJumpListTaskCount>;

// Replaces the jump list of kAppUserModelId with the seven tasks. True when the list was committed;
// *result, if given, receives the failing call's result (or the commit's).
bool RegisterJumpList(const JumpListTitles& titles, HRESULT* result = nullptr);

// Begins `list` for kAppUserModelId, collects the tasks' links in `tasks`, hands them to the list
// and commits it. True when the list was committed; `hr` receives the failing call's result (or the
// commit's). Nothing is begun without an executable for the links to start.
bool CommitJumpList(ICustomDestinationList& list,
                    IObjectCollection& tasks,
                    const std::wstring& executable,
                    const JumpListTitles& titles,
                    HRESULT& hr);

// Removes the jump list of kAppUserModelId. Callers ignore the result; the tests report it.
HRESULT DeleteJumpList();

// The link of one task; empty when it cannot be made, or when it offers a property store in which
// the title cannot be set and saved (a link without a store is kept untitled).
ComPtr<IShellLinkW> MakeJumpListTask(const std::wstring& executable, int action, const std::wstring& title);

// Adds the links of actions 0..6 to `tasks` in that order, leaving out those that cannot be made.
void AddJumpListTasks(IObjectCollection& tasks, const std::wstring& executable, const JumpListTitles& titles);
