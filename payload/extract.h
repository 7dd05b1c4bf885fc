// Writing the embedded patch package to a file.
#pragma once

#include "framework/string.h"

// Codes of the extraction's own steps (the resource steps give 101 to 104).
enum { kNoTempDirectory = 105, kNoTempName = 106, kCannotOpenTarget = 107, kShortWrite = 108 };

// The start of every package file name the launcher chooses (MSP<n>.tmp); a macro, so
// that texts can be joined to it at compile time.
#define SPLAUNCH_PACKAGE_PREFIX "MSP"

// Writes the package to strPath, or to a new SPLAUNCH_PACKAGE_PREFIX file in the temporary directory
// when strPath is empty (the name is stored in strPath first; a file or link that already
// has that name is never opened). On failure the code has been shown through ShowMessage
// and FALSE is returned. *pbFileMade tells whether a file was opened for writing (and so
// is the launcher's to remove), also on failure.
BOOL ExtractPatchPackage(CString& strPath, bool* pbFileMade = NULL);

// Whether the open file holds exactly the embedded package: its size and every byte.
BOOL IsEmbeddedPackage(HANDLE hFile);
