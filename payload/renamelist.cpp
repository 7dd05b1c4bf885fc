// The rename list of the Windows 95/98 family: wininit.ini in the Windows directory.
//
// Other programs keep their pending renames in the same file, so it is rewritten with
// care: the new list is written to wininit.new, then wininit.ini is removed and
// wininit.new renamed to it. The old list is never edited in place, and at every moment
// one of the two files holds it whole: wininit.ini until its removal, wininit.new after.
// A call that finds only wininit.new takes it as the list. Lines are copied byte for
// byte, whatever they hold, with their own line ends.
#include "payload/renamelist.h"

#include "framework/files.h"

static const char kRenameSection[] = "[rename]";
static const char kListName[] = "\\wininit.ini";
static const char kWorkName[] = "\\wininit.new";
static_assert(sizeof kWorkName == sizeof kListName, "the size check of the list's path covers the work file");

// The line without its line end (LF, or CR LF).
static CString LineText(const CString& strLine)
{
    int nLength = strLine.GetLength();
    if (nLength > 0 && strLine.GetAt(nLength - 1) == '\n') {
        --nLength;
        if (nLength > 0 && strLine.GetAt(nLength - 1) == '\r')
            --nLength;
    }
    return strLine.Left(nLength);
}

// The section header "[rename]" in any letter case, alone on its line.
static bool IsRenameSection(const CString& strLine)
{
    const CString strText = LineText(strLine);
    return strText.GetLength() == static_cast<int>(sizeof kRenameSection - 1) &&
           lstrcmpiA(strText, kRenameSection) == 0;
}

static bool IsSectionHeader(const CString& strLine) { return strLine.GetLength() > 0 && strLine.GetAt(0) == '['; }

// Writes a line as read; a last line without a line end gets one.
static void WriteLine(CStdioFile& file, const CString& strLine)
{
    file.Write(strLine);
    if (strLine.GetLength() == 0 || strLine.GetAt(strLine.GetLength() - 1) != '\n')
        file.Write("\r\n", 2);
}

// The entry and the empty line after it.
static void WriteEntry(CStdioFile& file, const CString& strPath)
{
    file.Write("NUL=", 4);
    file.Write(strPath);
    file.Write("\r\n\r\n", 4);
}

// Copies the old list into the new one with the entry added at the end of the first
// rename section, or in a new section at the end when there is none.
static void CopyWithEntry(CStdioFile& oldFile, CStdioFile& newFile, const CString& strPath)
{
    CString strLine;
    bool bFoundSection = false;
    while (!bFoundSection && oldFile.ReadLine(strLine)) {
        WriteLine(newFile, strLine);
        bFoundSection = IsRenameSection(strLine);
    }
    if (!bFoundSection) {
        WriteLine(newFile, kRenameSection);
        WriteEntry(newFile, strPath);
        return;
    }
    bool bNextSection = false;
    while (!bNextSection && oldFile.ReadLine(strLine)) {
        bNextSection = IsSectionHeader(strLine);
        if (!bNextSection)
            WriteLine(newFile, strLine);
    }
    WriteEntry(newFile, strPath);
    if (!bNextSection)
        return;
    do
        WriteLine(newFile, strLine);
    while (oldFile.ReadLine(strLine));
}

// Writes the new list to the work file and puts it in the list's place.
static BOOL WriteRenameList(const CString& strIni, const CString& strNew, const CString& strPath)
{
    CStdioFile oldFile;
    CStdioFile newFile;
    bool bWritingWorkFile = false;  // the work file is ours and not yet complete
    try {
        // A list that a failed rename left under the work file's name is the list.
        if (_access(strIni, 0) != 0 && _access(strNew, 0) == 0)
            CFile::Rename(strNew, strIni);

        const BOOL bHaveOld = oldFile.Open(strIni, CFile::modeRead);
        // A list that exists but cannot be read is left alone: nothing is written.
        if (!bHaveOld && _access(strIni, 0) == 0)
            return FALSE;
        if (!newFile.Open(strNew, CFile::modeCreate | CFile::modeWrite)) {
            oldFile.Abort();
            return FALSE;
        }
        bWritingWorkFile = true;
        if (bHaveOld) {
            CopyWithEntry(oldFile, newFile, strPath);
        } else {
            WriteLine(newFile, kRenameSection);
            WriteEntry(newFile, strPath);
        }
        newFile.Close();
        bWritingWorkFile = false;
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
        // A work file cut short is nobody's list; left behind, a later call could take
        // it for one.
        if (bWritingWorkFile)
            (void)DeleteFileA(strNew);
        return FALSE;
    }
}

BOOL AddToRenameList(const CString& strPath)
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
    return WriteRenameList(CString(szWindows) + kListName, CString(szWindows) + kWorkName, strPath);
}
