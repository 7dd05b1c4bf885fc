// The launcher's log (/l <file>): one line per event, each written through to the file at once.
#include "messages/log.h"

#include "framework/collections.h"
#include "framework/exceptions.h"

namespace {
enum LogState { kKeeping, kOpen, kStopped };
LogState s_state = kKeeping;
HANDLE s_hFile = INVALID_HANDLE_VALUE;
CString s_strPath;
CStringList s_listWaiting;  // lines noted before the command line was read

// "[pid:tid][yyyy-mm-ddThh:mm:ss] ": who wrote the line, and when (local time).
CString LinePrefix()
{
    SYSTEMTIME now;
    GetLocalTime(&now);
    CString str("[");
    AppendNumber(str, GetCurrentProcessId() & 0xFFFF, 16, 4);
    str += ':';
    AppendNumber(str, GetCurrentThreadId() & 0xFFFF, 16, 4);
    str += "][";
    // The date and time, each part followed by its separator.
    const WORD aParts[] = {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    for (int i = 0; i < 6; ++i) {
        AppendNumber(str, aParts[i], 10, i == 0 ? 4 : 2);
        str += "--T::]"[i];
    }
    str += ' ';
    return str;
}

void WriteLine(const CString& strLine)
{
    DWORD cbWritten = 0;
    (void)WriteFile(s_hFile, static_cast<const char*>(strLine), static_cast<DWORD>(strLine.GetLength()), &cbWritten,
                    NULL);
}
}  // namespace

// Devices are named "\\.\<name>" once the path is resolved.
static bool IsDevice(const char* pszPath) { return strncmp(pszPath, "\\\\.\\", 4) == 0; }

void BeginLog()
{
    CloseLog();
    s_state = kKeeping;
}

BOOL OpenLog(const char* pszPath)
{
    // Written through the system's cache at once: a crash or a kill loses no line. An
    // existing log is added to, a blank line after its last run: it is the evidence of
    // earlier runs.
    s_hFile = CreateFileA(pszPath, GENERIC_WRITE, FILE_SHARE_READ, NULL, OPEN_ALWAYS,
                          FILE_ATTRIBUTE_NORMAL | FILE_FLAG_WRITE_THROUGH, NULL);
    const DWORD dwEnd = s_hFile == INVALID_HANDLE_VALUE ? INVALID_SET_FILE_POINTER
                                                         : SetFilePointer(s_hFile, 0, NULL, FILE_END);
    if (dwEnd == INVALID_SET_FILE_POINTER) {
        CloseLog();
        return FALSE;
    }
    DWORD cbWritten = 0;
    if (dwEnd > 0)
        (void)WriteFile(s_hFile, "\r\n", 2, &cbWritten, NULL);
    s_state = kOpen;
    try {
        s_strPath = pszPath;
    } catch (CException* e) {
        e->Delete();
    }
    for (POSITION pos = s_listWaiting.GetHeadPosition(); pos != NULL;)
        WriteLine(s_listWaiting.GetNext(pos));
    s_listWaiting.RemoveAll();
    if (IsDevice(pszPath))
        LogFormat("log", "%s is a device: the installer keeps no log of its own", pszPath);
    return TRUE;
}

void StopLog()
{
    s_state = kStopped;
    s_listWaiting.RemoveAll();
}

void CloseLog()
{
    if (s_hFile != INVALID_HANDLE_VALUE)
        (void)CloseHandle(s_hFile);
    s_hFile = INVALID_HANDLE_VALUE;
    s_strPath.Empty();
    StopLog();
}

bool IsLogging() { return s_state != kStopped; }

CString OneLineText(const char* pszText)
{
    CString strText;
    for (const char* pch = pszText; *pch != '\0'; ++pch) {
        const BYTE ch = static_cast<BYTE>(*pch);
        if (ch >= 0x20 && ch != 0x7F) {
            strText += *pch;
        } else {
            strText += "\\x";
            AppendNumber(strText, ch, 16, 2);
        }
    }
    return strText;
}

void LogEvent(const char* pszTag, const char* pszText)
{
    if (s_state == kStopped)
        return;
    try {
        CString strLine = LinePrefix();
        strLine += pszTag;
        strLine += ' ';
        strLine += OneLineText(pszText);
        strLine += "\r\n";
        if (s_state == kOpen)
            WriteLine(strLine);
        else
            (void)s_listWaiting.AddTail(strLine);
    } catch (CException* e) {
        e->Delete();
    }
}

void LogLines(const char* pszTag, const CString& strText)
{
    if (s_state == kStopped)
        return;
    try {
        for (int nStart = 0; nStart <= strText.GetLength();) {
            int nEnd = strText.Find("\r\n", nStart);
            if (nEnd < 0)
                nEnd = strText.GetLength();
            LogEvent(pszTag, strText.Mid(nStart, nEnd - nStart));
            nStart = nEnd + 2;
        }
    } catch (CException* e) {
        e->Delete();
    }
}

void LogFormatArgs(const char* pszTag, const char* pszFormat, const FormatArg* pArgs, size_t nArgs)
{
    CString strText;
    try {
        strText.FormatArgs(pszFormat, pArgs, nArgs);
    } catch (CException* e) {
        e->Delete();
        return;
    }
    LogEvent(pszTag, strText);
}

CString InstallerLogPath(int nTurn, const CString& strProductCode)
{
    if (s_state != kOpen || IsDevice(s_strPath))
        return CString();
    // The extension is what follows the last "." of the file name, not of a folder.
    int nEnd = s_strPath.GetLength();
    for (int i = nEnd - 1; i >= 0 && s_strPath.GetAt(i) != '\\' && s_strPath.GetAt(i) != '/'; --i) {
        if (s_strPath.GetAt(i) == '.') {
            nEnd = i;
            break;
        }
    }
    CString strTurn;
    AppendNumber(strTurn, static_cast<DWORD>(nTurn), 10, 3);
    return s_strPath.Left(nEnd) + "_" + strTurn + "_" + strProductCode + ".log";
}
