// The launcher's log (/l <file>): one line per event, each written through to the file at once.
#pragma once

#include "framework/string.h"

// Events noted before the command line is read wait in memory: once it is read, either
// OpenLog writes them out and every later event goes straight to the file, or StopLog
// drops them and nothing is ever written.

// Starts keeping events in memory (the start of a run).
void BeginLog();
// Opens the log, adding to an existing one after a blank line; FALSE when it cannot be
// created or written.
BOOL OpenLog(const char* pszPath);
void StopLog();
// Closes the log at the end of the run.
void CloseLog();
// Whether events are being kept (before the command line, or with an open log).
bool IsLogging();

// The text with every control character (below 0x20, and 0x7F) written as "\xhh": what
// the machine or another process supplied can never break a line or forge another.
CString OneLineText(const char* pszText);

// Notes one event: "[pid:tid][local time] <tag> <text>", the text on one line (OneLineText).
// A line that cannot be kept or written is dropped: the log never changes what the run does.
void LogEvent(const char* pszTag, const char* pszText);
// Notes a text of several lines of the launcher's own ("\r\n" between them) as one event
// line each.
void LogLines(const char* pszTag, const CString& strText);
// The same with the text formatted as CString::Format does.
void LogFormatArgs(const char* pszTag, const char* pszFormat, const FormatArg* pArgs, size_t nArgs);
template <typename... Args>
void LogFormat(const char* pszTag, const char* pszFormat, const Args&... args)
{
    if (IsLogging()) {
        const FormatArg aArgs[] = {FormatArg(args)..., FormatArg(0)};
        LogFormatArgs(pszTag, pszFormat, aArgs, sizeof...(args));
    }
}

// The installer's own log for a product's turn (1, 2, ...): beside the log, named after it,
// "<log without extension>_<nnn>_<product code>.log"; empty without an open log, and when
// the log is a device.
CString InstallerLogPath(int nTurn, const CString& strProductCode);
