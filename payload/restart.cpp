// Deleting a file at the next system start: the rename list or the delayed move.
#include "payload/restart.h"

#include "framework/files.h"

static const char kRenameSection[] = "[rename]";
static const char kListName[] = "\\wininit.ini";
static const char kWorkName[] = "\\wininit.new";
static_assert(sizeof kWorkName == sizeof kListName, "the size check of the list's path covers the work file");

void GetOsVersion(DWORD* pdwPlatformId, DWORD* pdwMajorVersion, DWORD* pdwMinorVersion)
{
    OSVERSIONINFOA info;
    memset(&info, 0, sizeof info);
    info.dwOSVersionInfoSize = sizeof info;
    // A failed query leaves the record zero-filled, which reads as no known platform.
    (void)GetVersionExA(&info);
    *pdwPlatformId = info.dwPlatformId;
    *pdwMajorVersion = info.dwMajorVersion;
    *pdwMinorVersion = info.dwMinorVersion;
}

namespace {
struct OsVersion {
    DWORD dwPlatformId;
    DWORD dwMajor;
    DWORD dwMinor;
};

OsVersion QueryOsVersion()
{
    OsVersion version;
    GetOsVersion(&version.dwPlatformId, &version.dwMajor, &version.dwMinor);
    return version;
}

// The 9x family with the given minor version; the major version is not examined.
bool IsWindows9xMinor(const OsVersion& version, DWORD dwMinor)
{
    return version.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS && version.dwMinor == dwMinor;
}
bool IsWindows95(const OsVersion& version) { return IsWindows9xMinor(version, 0); }
bool IsWindows98(const OsVersion& version) { return IsWindows9xMinor(version, 10); }
}  // namespace

BOOL IsWindows95() { return IsWindows95(QueryOsVersion()); }

BOOL IsWindows98() { return IsWindows98(QueryOsVersion()); }

// Writes one line as read, with a line end.
static void WriteLine(CStdioFile& file, const char* pszLine)
{
    file.WriteString(pszLine);
    file.WriteString("\n");
}

static void WriteEntry(CStdioFile& file, const CString& strPath)
{
    CString strEntry;
    strEntry.Format("NUL=%s", strPath);
    file.WriteString(strEntry);
    file.WriteString("\n\n");
}

// Copies the old list into the new one with the entry added at the end of the first
// rename section, or in a new section at the end when there is none.
static void CopyWithEntry(CStdioFile& oldFile, CStdioFile& newFile, const CString& strPath)
{
    CString strLine;
    BOOL bFoundSection = FALSE;
    while (oldFile.ReadString(strLine)) {
        WriteLine(newFile, strLine);
        if (lstrcmpiA(strLine, kRenameSection) == 0) {
            bFoundSection = TRUE;
            break;
        }
    }
    if (!bFoundSection) {
        WriteLine(newFile, kRenameSection);
        WriteEntry(newFile, strPath);
        return;
    }

    BOOL bNextSection = FALSE;
    while (oldFile.ReadString(strLine)) {
        if (strLine.GetLength() > 0 && strLine.GetAt(0) == '[') {
            bNextSection = TRUE;
            break;
        }
        WriteLine(newFile, strLine);
    }
    WriteEntry(newFile, strPath);
    if (!bNextSection)
        return;
    WriteLine(newFile, strLine);
    while (oldFile.ReadString(strLine))
        WriteLine(newFile, strLine);
}

// Writes the whole new list to wininit.new, then replaces wininit.ini with it. The old
// list is never edited in place: until the rename it survives in wininit.ini itself,
// and after the removal it is complete in wininit.new.
static BOOL WriteRenameList(const char* pszWindows, const CString& strPath)
{
    CStdioFile oldFile;
    CStdioFile newFile;
    try {
        const CString strIni = CString(pszWindows) + kListName;
        const CString strNew = CString(pszWindows) + kWorkName;

        const BOOL bHaveOld = oldFile.Open(strIni, CFile::modeRead | CFile::typeText);
        // A list that exists but cannot be read is left alone: nothing is written.
        if (!bHaveOld && _access(strIni, 0) == 0)
            return FALSE;
        if (!newFile.Open(strNew, CFile::modeCreate | CFile::modeWrite | CFile::typeText)) {
            oldFile.Abort();
            return FALSE;
        }

        if (bHaveOld) {
            CopyWithEntry(oldFile, newFile, strPath);
        } else {
            WriteLine(newFile, kRenameSection);
            WriteEntry(newFile, strPath);
        }

        newFile.Close();
        if (bHaveOld) {
            oldFile.Close();
            CFile::Remove(strIni);
        }

        if (_access(strIni, 0) == 0 || _access(strNew, 0) != 0)
            return FALSE;
        CFile::Rename(strNew, strIni);
        return _access(strIni, 0) == 0;
    } catch (CException* e) {
        e->Delete();
        newFile.Abort();
        oldFile.Abort();
        return FALSE;
    }
}

// Adds "NUL=<path>" to the rename section of wininit.ini in the Windows directory.
static BOOL AddToRenameList(const CString& strPath)
{
    char szWindows[1024];
    memset(szWindows, 0, sizeof szWindows);
    const UINT nLength = GetWindowsDirectoryA(szWindows, sizeof szWindows);
    // A result that fills the buffer means the directory did not fit.
    if (nLength == 0 || nLength >= sizeof szWindows)
        return FALSE;
    // The list's path, with its NUL, must fit a buffer of the same size.
    if (nLength + (sizeof kListName - 1) >= sizeof szWindows)
        return FALSE;
    return WriteRenameList(szWindows, strPath);
}

BOOL DeleteAtRestart(const CString& strPath)
{
    const OsVersion version = QueryOsVersion();
    if (IsWindows98(version) || IsWindows95(version))
        return AddToRenameList(strPath);
    return MoveFileExA(strPath, NULL, MOVEFILE_DELAY_UNTIL_REBOOT) ? TRUE : FALSE;
}
