#pragma once

// Shortcut files and taskbar pins through the shell's own objects. The calling thread must have
// initialised COM (Tivolan's wWinMain does so before anything else uses the shell).

#include <windows.h>

#include <string>

// What a shortcut file holds; everything but the file path and the target is optional.
struct ShortcutDescription {
    std::wstring filePath;  // where the .lnk file is written; an existing file is replaced
    std::wstring target;
    std::wstring arguments;
    std::wstring iconPath;  // empty: the shell shows the target's own icon
    int iconIndex = 0;
    std::wstring appUserModelId;  // empty: the shortcut carries no identity of its own
    std::wstring workingFolder;
    std::wstring description;
    WORD hotKey = 0;       // 0: none
    int showCommand = -1;  // -1: the shell's default
};

// Writes one shortcut file. False when the link cannot be made, the identity cannot be stored in a
// link that has a property store, or the file cannot be written.
bool CreateShortcutFile(const ShortcutDescription& shortcut);

// Pins a shortcut named `name` to the taskbar through the shell's "taskbarpin" verb. The shortcut is
// written to the temporary folder under ShortcutFileName(name) + ".lnk" and deleted again whatever
// happens. False before Windows 7, for an empty name, and when any step or the verb fails (newer
// shells refuse the verb to programs).
bool PinToTaskbar(const std::wstring& name,
                  const std::wstring& target,
                  const std::wstring& arguments,
                  const std::wstring& iconPath,
                  int iconIndex,
                  const std::wstring& appUserModelId);

// The current user's desktop folder, not created when missing; empty on failure.
std::wstring DesktopFolder();
