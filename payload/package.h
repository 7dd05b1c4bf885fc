// Where a product's package waits for the installer: a folder that only administrators can
// change, and a read-only hold that keeps other processes from replacing the file.
#pragma once

#include "framework/string.h"

// Makes a new folder under the Windows directory's Temp folder, named so that nobody can
// predict it, whose access list lets only Administrators and SYSTEM change it, and names a
// new package file in it. FALSE, with nothing left behind, where that cannot be done: the
// Windows 95/98 family, a system without the security functions, a user who is not an
// administrator; the package then goes to the user's temporary folder.
BOOL CreatePrivatePackagePath(CString& strFolder, CString& strPackage);

// For /plan: where a run would write the package, with the parts only the run can know
// left as <random> and <n>. Makes and changes nothing.
CString PlannedPackagePath();

// Holds the package open for reading, shared with readers only, so that no other process
// can write, replace or delete it; released by Release or on destruction.
class CPackageHold {
public:
    CPackageHold() : m_hFile(INVALID_HANDLE_VALUE) {}
    ~CPackageHold() { Release(); }

    // FALSE when the file cannot be held (another process has it open for writing).
    BOOL Hold(const CString& strPath);
    void Release();

private:
    CPackageHold(const CPackageHold&) = delete;
    CPackageHold& operator=(const CPackageHold&) = delete;

    HANDLE m_hFile;
};
