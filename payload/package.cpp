// Where a product's package waits for the installer: a folder that only administrators can
// change, a read-only hold that keeps other processes from replacing the file, and its
// removal once the turn is over.
//
// The launcher runs elevated and the installer applies whatever file the command line
// names. In the user's own temporary folder any process of that user could swap the
// package between its writing and the installer's reading; in a folder of our own that
// only administrators can change, and with the file held open without write or delete
// sharing, none can. Where no such folder can be made, the file is made anew (never
// through a name someone else prepared) and its bytes are checked once it is held.
#include "payload/package.h"

#include "framework/exceptions.h"
#include "messages/log.h"
#include "messages/messages.h"
#include "payload/extract.h"
#include "payload/restart.h"

// The start of each protected folder's name, before its unique part.
#define FOLDER_PREFIX "SPL"

// Full control for Administrators (BA) and SYSTEM (SY) on the folder and, inherited, on
// what is made in it; nothing for anyone else; nothing inherited from the parent (P).
static const char kProtectedFolder[] = "D:PAI(A;;FA;;;BA)(A;OICIIO;GA;;;BA)(A;;FA;;;SY)(A;OICIIO;GA;;;SY)";

// How many names are tried before the folder is given up: each one taken means someone
// made a folder of that name first, and it is never used.
static const int kFolderTries = 64;

// Looked up at run time: the Windows 95/98 family lacks it, and the launcher must start there.
typedef BOOL(WINAPI* ConvertSddlFn)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);

static ConvertSddlFn ConvertSddlFunction()
{
    HMODULE hAdvapi = GetModuleHandleA("advapi32.dll");
    return hAdvapi == NULL ? NULL
                           : reinterpret_cast<ConvertSddlFn>(reinterpret_cast<void*>(
                                 GetProcAddress(hAdvapi, "ConvertStringSecurityDescriptorToSecurityDescriptorA")));
}

static BOOL IsNtFamily()
{
    DWORD dwPlatformId = 0;
    DWORD dwMajor = 0;
    DWORD dwMinor = 0;
    GetOsVersion(&dwPlatformId, &dwMajor, &dwMinor);
    return dwPlatformId == VER_PLATFORM_WIN32_NT;
}

// "<Windows>\Temp\", where the protected folders are made; FALSE when the Windows folder does not fit.
static BOOL WindowsTempFolder(CString& strFolder)
{
    char szWindows[MAX_PATH];
    const UINT nLength = GetWindowsDirectoryA(szWindows, sizeof szWindows);
    if (nLength == 0 || nLength >= sizeof szWindows)
        return FALSE;
    strFolder = CString(szWindows) + "\\Temp\\";
    return TRUE;
}

// The nTry-th folder name of this run: the process id and the time it started, 16
// hexadecimal digits. It need not be unpredictable, only new: a name that exists is
// never used, the next one is tried.
static CString FolderName(DWORD dwStart, int nTry)
{
    CString strName(FOLDER_PREFIX);
    AppendNumber(strName, GetCurrentProcessId(), 16, 8);
    AppendNumber(strName, dwStart + static_cast<DWORD>(nTry), 16, 8);
    return strName;
}

// Creates a new protected folder under <Windows>\Temp; FALSE when none can be made.
static BOOL CreateProtectedFolder(CString& strFolder)
{
    CString strTemp;
    if (!WindowsTempFolder(strTemp))
        return FALSE;
    const ConvertSddlFn pfnConvert = ConvertSddlFunction();
    PSECURITY_DESCRIPTOR pDescriptor = NULL;
    if (pfnConvert == NULL || !pfnConvert(kProtectedFolder, SDDL_REVISION_1, &pDescriptor, NULL))
        return FALSE;
    SECURITY_ATTRIBUTES attributes = {sizeof attributes, pDescriptor, FALSE};
    BOOL bCreated = FALSE;
    try {
        const DWORD dwStart = GetTickCount();
        for (int nTry = 0; !bCreated && nTry < kFolderTries; ++nTry) {
            strFolder = strTemp + FolderName(dwStart, nTry);
            bCreated = CreateDirectoryA(strFolder, &attributes);
            if (!bCreated && GetLastError() != ERROR_ALREADY_EXISTS)
                break;
        }
    } catch (...) {
        (void)LocalFree(pDescriptor);
        throw;
    }
    (void)LocalFree(pDescriptor);
    return bCreated;
}

// Deletes the file, or leaves it for deletion at the next restart when it cannot go now.
static void DeleteFileNowOrAtRestart(const CString& strPath)
{
    if (!DeleteFileA(strPath))
        (void)DeleteAtRestart(strPath);
}

// Removes the (empty) folder, or leaves it for deletion at the next restart.
static void RemoveFolderNowOrAtRestart(const CString& strFolder)
{
    if (!RemoveDirectoryA(strFolder))
        (void)DeleteAtRestart(strFolder);
}

BOOL CreatePrivatePackagePath(CString& strFolder, CString& strPackage)
{
    // The 9x family has no privilege boundary to guard.
    if (!IsNtFamily() || !CreateProtectedFolder(strFolder))
        return FALSE;
    char szPackage[MAX_PATH];
    // A user who may make folders here but no file in a folder only administrators may
    // change (a limited user on an older system) gets nowhere: the folder goes again.
    if (strFolder.GetLength() > MAX_PATH - 14 ||
        GetTempFileNameA(strFolder, SPLAUNCH_PACKAGE_PREFIX, 0, szPackage) == 0) {
        LogFormat("package", "no file can be made in %s (error %u): it is removed", strFolder, GetLastError());
        RemoveFolderNowOrAtRestart(strFolder);
        return FALSE;
    }
    strPackage = szPackage;
    return TRUE;
}

BOOL CPackageHold::Hold(const CString& strPath)
{
    Release();
    m_hFile = CreateFileA(strPath, GENERIC_READ, FILE_SHARE_READ, NULL, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, NULL);
    return m_hFile != INVALID_HANDLE_VALUE;
}

void CPackageHold::Release()
{
    if (m_hFile != INVALID_HANDLE_VALUE) {
        (void)CloseHandle(m_hFile);
        m_hFile = INVALID_HANDLE_VALUE;
    }
}

BOOL CTurnPackage::Prepare(CString& strPath)
{
    m_bPrivate = CreatePrivatePackagePath(m_strFolder, strPath) != FALSE;
    // In the protected folder the file was made empty by its naming.
    m_bFileMade = m_bPrivate;
    if (!ExtractPatchPackage(strPath, m_bPrivate ? NULL : &m_bFileMade)) {
        m_strPath = strPath;
        Discard();
        return FALSE;
    }
    m_strPath = strPath;
    if (!m_hold.Hold(strPath)) {
        LogFormat("package", "%s cannot be held read-only: another process has it open for writing", strPath);
    } else if (!IsEmbeddedPackage(m_hold.GetHandle())) {
        LogFormat("package", "%s does not hold the package that was written: another process changed it", strPath);
    } else {
        LogFormat("package", "%s held read-only until the turn is over, in %s", strPath,
                  m_bPrivate ? "a folder of its own that only administrators can change" : "the temporary folder");
        return TRUE;
    }
    ShowMessage(kCannotOpenTarget);
    Discard();
    return FALSE;
}

void CTurnPackage::Finish()
{
    m_hold.Release();
    if (!m_bFileMade)
        return;
    // Left for the restart first, so that it goes even should this process end right here.
    (void)DeleteAtRestart(m_strPath);
    if (m_bPrivate)
        (void)DeleteAtRestart(m_strFolder);
    const BOOL bDeleted = DeleteFileA(m_strPath);
    const BOOL bRemoved = m_bPrivate && bDeleted && RemoveDirectoryA(m_strFolder);
    LogFormat("package", "%s %s", m_strPath,
              !bDeleted  ? "is still in use: it goes at the next restart"
              : bRemoved ? "and its folder deleted"
                         : "deleted");
    m_bFileMade = false;
    m_bPrivate = false;
}

void CTurnPackage::Discard()
{
    m_hold.Release();
    try {
        if (m_bFileMade)
            DeleteFileNowOrAtRestart(m_strPath);
        if (m_bPrivate)
            RemoveFolderNowOrAtRestart(m_strFolder);
    } catch (CException* e) {
        // Out of memory while leaving something for the restart: it stays where it is.
        e->Delete();
    }
    m_bFileMade = false;
    m_bPrivate = false;
}

CTurnPackage::~CTurnPackage() { Discard(); }

CString PlannedPackagePath()
{
    CString strTemp;
    if (IsNtFamily() && ConvertSddlFunction() != NULL && WindowsTempFolder(strTemp))
        return strTemp + FOLDER_PREFIX "<random>\\" SPLAUNCH_PACKAGE_PREFIX "<n>.tmp";
    char szFolder[MAX_PATH];
    const DWORD nLength = GetTempPathA(sizeof szFolder, szFolder);
    return nLength > 0 && nLength < sizeof szFolder ? CString(szFolder) + SPLAUNCH_PACKAGE_PREFIX "<n>.tmp"
                                                    : CString(SPLAUNCH_PACKAGE_PREFIX "<n>.tmp");
}
