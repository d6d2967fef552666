#pragma once

// The file name a pinned shortcut is written under in the temporary folder. The name comes from the
// string tables (a translated action name, the program's name), so it is made safe rather than
// trusted: it must name one file directly inside that folder and never a device.

#include <string>

// The name with every character a file name cannot hold (controls, < > : " / \ | ? *) replaced by
// "_", and a "_" put before a name that Windows would read as a device (CON, PRN, AUX, NUL, COM1-9,
// LPT1-9, with or without an extension). Empty when the name is empty: there is nothing to pin then.
std::wstring ShortcutFileName(const std::wstring& name);
