// Where a product's package waits for the installer: a folder that only administrators can
// change, a read-only hold that keeps other processes from replacing the file, and its
// removal once the turn is over.
#pragma once

#include "framework/string.h"

// Makes a new folder under the Windows directory's Temp folder, with a name no folder had,
// whose access list lets only Administrators and SYSTEM change it, and makes a new package
// file in it. FALSE, with nothing left behind (or left for deletion at the next restart),
// where that cannot be done: the Windows 95/98 family, a system without the security
// functions, a user who is not an administrator; the package then goes to the user's
// temporary folder.
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
    HANDLE GetHandle() const { return m_hFile; }
    void Release();

private:
    CPackageHold(const CPackageHold&) = delete;
    CPackageHold& operator=(const CPackageHold&) = delete;

    HANDLE m_hFile;
};

// A product's package for one turn: written, held and checked by Prepare, removed by Finish.
// A turn that ends otherwise (an exception) removes what was made when this goes.
class CTurnPackage {
public:
    CTurnPackage() : m_bFileMade(false), m_bPrivate(false) {}
    ~CTurnPackage();

    // Writes the package into a new protected folder where one can be made, else to a new
    // file in the temporary folder, holds it read-only and checks that it holds the embedded
    // package byte for byte; strPath (empty) receives its name. FALSE when any of that fails:
    // the code has been shown, and what was made is gone (or left for the next restart).
    BOOL Prepare(CString& strPath);
    // The turn is over: lets the package go, leaves it and then its folder for deletion at
    // the next restart, and deletes both at once where nothing holds them any more.
    void Finish();

private:
    CTurnPackage(const CTurnPackage&) = delete;
    CTurnPackage& operator=(const CTurnPackage&) = delete;

    // Lets go and deletes what was made; schedules what cannot be deleted now. Never throws.
    void Discard();

    CString m_strFolder;  // the protected folder, when there is one
    CString m_strPath;    // the package file
    bool m_bFileMade;     // the file is the launcher's own, to be removed
    bool m_bPrivate;      // the folder is the launcher's own, to be removed
    CPackageHold m_hold;
};
