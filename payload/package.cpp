// Where a product's package waits for the installer: a folder that only administrators can
// change, and a read-only hold that keeps other processes from replacing the file.
//
// The launcher runs elevated and the installer applies whatever file the command line
// names. In the user's own temporary folder any process of that user could swap the
// package between its writing and the installer's reading; in a folder of our own that
// only administrators can change, and with the file held open without write or delete
// sharing, none can.
#include "payload/package.h"

#include "payload/extract.h"
#include "payload/restart.h"

// The start of each protected folder's name, before its random part.
#define FOLDER_PREFIX "SPL"

// Full control for Administrators (BA) and SYSTEM (SY) on the folder and, inherited, on
// what is made in it; nothing for anyone else; nothing inherited from the parent (P).
static const char kProtectedFolder[] = "D:PAI(A;;FA;;;BA)(A;OICIIO;GA;;;BA)(A;;FA;;;SY)(A;OICIIO;GA;;;SY)";

// Looked up at run time: the Windows 95/98 family has neither, and the launcher must start there.
typedef BOOL(WINAPI* ConvertSddlFn)(LPCSTR, DWORD, PSECURITY_DESCRIPTOR*, PULONG);
typedef BOOLEAN(WINAPI* GenerateRandomFn)(LPVOID, ULONG);

template <typename Fn>
static Fn SecurityFunction(const char* pszName)
{
    HMODULE hAdvapi = GetModuleHandleA("advapi32.dll");
    return hAdvapi == NULL ? NULL : reinterpret_cast<Fn>(reinterpret_cast<void*>(GetProcAddress(hAdvapi, pszName)));
}

static ConvertSddlFn ConvertSddlFunction()
{
    return SecurityFunction<ConvertSddlFn>("ConvertStringSecurityDescriptorToSecurityDescriptorA");
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

// A folder name of 16 random hexadecimal digits; FALSE without a source of randomness.
static BOOL RandomFolderName(CString& strName)
{
    const GenerateRandomFn pfnRandom = SecurityFunction<GenerateRandomFn>("SystemFunction036");
    BYTE abRandom[8];
    if (pfnRandom == NULL || !pfnRandom(abRandom, sizeof abRandom))
        return FALSE;
    static const char kHex[] = "0123456789ABCDEF";
    char szName[2 * sizeof abRandom + 1];
    for (size_t i = 0; i < sizeof abRandom; ++i) {
        szName[2 * i] = kHex[abRandom[i] >> 4];
        szName[2 * i + 1] = kHex[abRandom[i] & 0xF];
    }
    szName[sizeof szName - 1] = '\0';
    strName = CString(FOLDER_PREFIX) + szName;
    return TRUE;
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
        // A name someone made first is simply taken by them: never reused, never opened.
        CString strName;
        for (int nTry = 0; !bCreated && nTry < 4 && RandomFolderName(strName); ++nTry) {
            strFolder = strTemp + strName;
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

BOOL CreatePrivatePackagePath(CString& strFolder, CString& strPackage)
{
    // The 9x family has no privilege boundary to guard.
    if (!IsNtFamily() || !CreateProtectedFolder(strFolder))
        return FALSE;
    char szPackage[MAX_PATH];
    if (strFolder.GetLength() > MAX_PATH - 14 ||
        GetTempFileNameA(strFolder, SPLAUNCH_PACKAGE_PREFIX, 0, szPackage) == 0) {
        (void)RemoveDirectoryA(strFolder);
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
