// ShowMessage: texts from the string table, formatted into fixed buffers, in modal boxes.
#include "messages/messages.h"

#include "app/globals.h"
#include "framework/exceptions.h"
#include "messages/exitcode.h"
#include "messages/log.h"
#include "res/builtintexts.h"

static const UINT kFailureStyle = MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND | MB_TOPMOST;
static const UINT kSuccessStyle = MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST;  // and reports
static const UINT kQuestionStyle = MB_YESNO | MB_ICONQUESTION | MB_SETFOREGROUND | MB_TOPMOST;

// The success and the up-to-date texts inform; every other code reports a failure.
static bool IsInformation(int nCode) { return nCode == IDS_SUCCESS || nCode == IDS_UP_TO_DATE; }

// The format string and the formatted text; the loader is given one byte less than
// the buffer, and the formatter never writes past it (a long title is cut).
static char s_szFormat[512];
static char s_szMessage[512];

// The text of a code: the success text, a failure's own row, or the failure format
// filled in; NULL when the format row is missing, which shows nothing.
static const char* MessageText(int nCode, CString& strOwn)
{
    if (IsInformation(nCode)) {
        if (LoadStringA(g_hInstance, static_cast<UINT>(nCode), s_szFormat, 511) == 0)
            return NULL;
        const FormatArg aArgs[] = {FormatArg(static_cast<const char*>(g_strTitle))};
        FormatText(s_szMessage, sizeof s_szMessage, s_szFormat, aArgs, 1);
        return s_szMessage;
    }
    if (LoadStringA(g_hInstance, IDS_ERROR_FORMAT, s_szFormat, 511) == 0)
        return NULL;
    // A code with a non-empty row of its own shows that row as it stands. Only codes
    // that are string ids at all are looked up: a larger code would alias a lower row.
    if (nCode > 0 && nCode <= 0xFFFF)
        (void)strOwn.LoadString(static_cast<UINT>(nCode));
    if (!strOwn.IsEmpty())
        return strOwn;
    const FormatArg aArgs[] = {FormatArg(nCode), FormatArg(static_cast<const char*>(g_strTitle))};
    FormatText(s_szMessage, sizeof s_szMessage, s_szFormat, aArgs, 2);
    return s_szMessage;
}

void ShowMessage(int nCode)
{
    if (!IsInformation(nCode))
        NoteFailure(nCode);
    // Under /q nothing is shown; the text is still made when the log wants it.
    const char* pszUnshown = g_bPlanOnly         ? "not shown (/plan)"
                             : g_bQuietInstaller ? "silenced by /qn"
                             : g_bQuiet          ? "silenced by /q"
                                                 : NULL;
    if (pszUnshown != NULL && !IsLogging())
        return;
    CString strOwn;
    const char* pszText = NULL;
    try {
        pszText = MessageText(nCode, strOwn);
    } catch (CException* e) {
        e->Delete();
        LogFormat("message", "code %d: no memory for its text; nothing shown", nCode);
        return;
    }
    if (pszText == NULL) {
        LogFormat("message", "code %d: its format row is missing; nothing shown", nCode);
        return;
    }
    LogFormat("message", "code %d %s: \"%s\" captioned \"%s\"", nCode, pszUnshown == NULL ? "shown" : pszUnshown,
              pszText, g_strTitle);
    if (pszUnshown == NULL)
        (void)MessageBoxA(NULL, pszText, g_strTitle, IsInformation(nCode) ? kSuccessStyle : kFailureStyle);
}

// The launcher's file name as it was started (the command line's first word, without its folder).
static const char* ProgramName()
{
    const char* pszName = __argc > 0 && __argv[0] != NULL ? __argv[0] : "";
    for (const char* pch = pszName; *pch != '\0'; ++pch)
        if (*pch == '\\' || *pch == '/' || *pch == ':')
            pszName = pch + 1;
    return pszName;
}

void ShowUsage()
{
    if (g_bQuiet)
        return;
    CString strFormat;
    CString strCaption;
    if (!strFormat.LoadString(IDS_USAGE))
        strFormat = SPLAUNCH_USAGE_TEXT;
    (void)strCaption.LoadString(IDS_PRODUCT_UPDATE);
    // The text names the launcher by the file name it was started as (its "%s").
    CString strText;
    strText.Format(strFormat, ProgramName());
    (void)MessageBoxA(NULL, strText, strCaption, kSuccessStyle);
}

BOOL AskToRestart()
{
    CString strText;
    CString strCaption;
    if (!strText.LoadString(IDS_RESTART_QUESTION))
        strText = SPLAUNCH_RESTART_QUESTION;
    (void)strCaption.LoadString(IDS_PRODUCT_UPDATE);
    const BOOL bYes = MessageBoxA(NULL, strText, strCaption, kQuestionStyle) == IDYES;
    LogFormat("message", "restart question shown: \"%s\" captioned \"%s\": %s", strText, strCaption,
              bYes ? "Yes" : "No");
    return bYes;
}
