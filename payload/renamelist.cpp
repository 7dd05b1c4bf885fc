// The rename list of the Windows 95/98 family: wininit.ini in the Windows directory.
//
// Other programs keep their pending renames in the same file, so it is rewritten with
// care. The new list is written to a copy of its own, wininit.spl, and only once that is
// whole and on the disk does it take the name wininit.new; then wininit.ini is removed
// and wininit.new renamed to it. The old list is never edited in place, and at every
// moment one of the two holds it whole: wininit.ini until its removal, wininit.new
// after. A wininit.new never stays beside a wininit.ini that is still the list, so one
// found alone is the list, the crash between the removal and the rename having left it,
// unless the restart has carried it out already: the restart renames the list it
// processes to wininit.bak, and a wininit.new that is that list with one more entry is
// the leftover of a call the restart overtook. Lines are copied byte for byte, whatever
// they hold, with their own line ends.
#include "payload/renamelist.h"

#include "framework/collections.h"
#include "framework/files.h"

static const char kRenameSection[] = "[rename]";
static const char kListName[] = "\\wininit.ini";
static const char kWorkName[] = "\\wininit.new";  // the new list, whole
static const char kCopyName[] = "\\wininit.spl";  // the new list while it is written
static const char kDoneName[] = "\\wininit.bak";  // the list the last restart carried out
static_assert(sizeof kWorkName == sizeof kListName && sizeof kCopyName == sizeof kListName &&
                  sizeof kDoneName == sizeof kListName,
              "the size check of the list's path covers the other files");

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

// The texts of the entries (the lines that are not empty) of the first rename section;
// FALSE when the file cannot be read.
static BOOL ReadRenameEntries(const CString& strPath, CStringList& listEntries)
{
    CStdioFile file;
    if (!file.Open(strPath, CFile::modeRead))
        return FALSE;
    CString strLine;
    bool bInSection = false;
    while (file.ReadLine(strLine)) {
        if (!bInSection) {
            bInSection = IsRenameSection(strLine);
        } else if (IsSectionHeader(strLine)) {
            break;
        } else if (!LineText(strLine).IsEmpty()) {
            (void)listEntries.AddTail(LineText(strLine));
        }
    }
    return TRUE;
}

// Whether the restart has carried out the list in the work file already: the list it
// processed holds the work file's entries but the last one, the entry that call added.
static bool IsCarriedOut(const CString& strWork, const CString& strDone)
{
    CStringList listWork;
    CStringList listDone;
    if (!ReadRenameEntries(strWork, listWork) || !ReadRenameEntries(strDone, listDone) ||
        listDone.GetCount() != listWork.GetCount() - 1)
        return false;
    POSITION posWork = listWork.GetHeadPosition();
    for (POSITION posDone = listDone.GetHeadPosition(); posDone != NULL;)
        if (!(listDone.GetNext(posDone) == listWork.GetNext(posWork)))
            return false;
    return true;
}

static bool Exists(const char* pszPath) { return _access(pszPath, 0) == 0; }

// Takes what an earlier call left: a work file alone is the list (or, carried out
// already, nothing); beside the list it is that call's unfinished copy.
static void TakeLeftovers(const CString& strIni, const CString& strNew, const CString& strDone)
{
    if (!Exists(strNew))
        return;
    if (!Exists(strIni) && !IsCarriedOut(strNew, strDone))
        CFile::Rename(strNew, strIni);
    else
        CFile::Remove(strNew);
}

// Writes the new list to its copy and, once that is whole and on the disk, puts it in
// the list's place through the work file.
static BOOL WriteRenameList(const CString& strDirectory, const CString& strPath)
{
    const CString strIni = strDirectory + kListName;
    const CString strNew = strDirectory + kWorkName;
    const CString strCopy = strDirectory + kCopyName;
    CStdioFile oldFile;
    CStdioFile copyFile;
    bool bWritingCopy = false;  // the copy is ours and not yet complete
    bool bMadeWork = false;     // the work file is ours
    try {
        TakeLeftovers(strIni, strNew, strDirectory + kDoneName);
        const BOOL bHaveOld = oldFile.Open(strIni, CFile::modeRead);
        // A list that exists but cannot be read is left alone: nothing is written.
        if (!bHaveOld && Exists(strIni))
            return FALSE;
        if (!copyFile.Open(strCopy, CFile::modeCreate | CFile::modeWrite)) {
            oldFile.Abort();
            return FALSE;
        }
        bWritingCopy = true;
        if (bHaveOld) {
            CopyWithEntry(oldFile, copyFile, strPath);
        } else {
            WriteLine(copyFile, kRenameSection);
            WriteEntry(copyFile, strPath);
        }
        copyFile.Flush();
        copyFile.Close();
        CFile::Rename(strCopy, strNew);
        bWritingCopy = false;
        bMadeWork = true;
        if (bHaveOld) {
            oldFile.Close();
            CFile::Remove(strIni);
        }
        if (Exists(strIni)) {
            (void)DeleteFileA(strNew);
            return FALSE;
        }
        if (!Exists(strNew))
            return FALSE;
        CFile::Rename(strNew, strIni);
        return Exists(strIni);
    } catch (CException* e) {
        e->Delete();
        copyFile.Abort();
        oldFile.Abort();
        // A copy cut short is nobody's list; a work file beside a list that is still in
        // place would be taken for the list once the restart has carried that out.
        if (bWritingCopy)
            (void)DeleteFileA(strCopy);
        if (bMadeWork && Exists(strIni))
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
    // The restart reads the list before long file names are there: the entry names the
    // file by its short form where it has one.
    char szShort[1024];
    const DWORD nShort = GetShortPathNameA(strPath, szShort, sizeof szShort);
    return WriteRenameList(szWindows, nShort > 0 && nShort < sizeof szShort ? CString(szShort) : strPath);
}
