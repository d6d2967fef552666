#pragma once

// The temporary folders installers are downloaded into, and their removal.

#include <string>

#include "common/random/random.h"

// Creates temp + "QPCHKUPD" + a four-character number (upper-case hexadecimal padded with blanks)
// drawn from the process generator, drawing again while the name is taken (the folder must be made
// anew; anything already there, a link included, is never used), with any missing parents of the
// temporary folder. Empty when no folder could be made.
std::wstring CreateDownloadFolder();
// The same with the 15-bit draws supplied by the caller.
std::wstring CreateDownloadFolder(const Draw15& draw);

// After a failed or cancelled download: deletes the file if there is one (an empty path is none),
// then the folder if nothing else is left in it, each through a handle that follows no link.
void RemoveDownload(const std::wstring& filePath, const std::wstring& folder);

// At start-up: removes every folder in the temporary folder whose name starts with "QPCHKUPD", with
// everything in it. A plain file of such a name stays; a link or junction of such a name is removed
// itself, and one inside such a folder too, without anything being followed.
void RemoveLeftoverDownloadFolders();
