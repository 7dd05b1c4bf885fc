// ShowMessage: texts from the string table, formatted into fixed buffers, in modal boxes.
#include "messages/messages.h"

#include "app/globals.h"
#include "framework/exceptions.h"
#include "messages/exitcode.h"

static const UINT kFailureStyle = MB_OK | MB_ICONEXCLAMATION | MB_SETFOREGROUND | MB_TOPMOST;
static const UINT kSuccessStyle = MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST;

// The format string and the formatted text; the loader is given one byte less than
// the buffer, and the formatter never writes past it (a long title is cut).
static char s_szFormat[512];
static char s_szMessage[512];

void ShowMessage(int nCode)
{
    if (nCode != IDS_SUCCESS)
        NoteFailure(nCode);
    if (g_bQuiet)
        return;

    if (nCode == IDS_SUCCESS) {
        if (LoadStringA(g_hInstance, IDS_SUCCESS, s_szFormat, 511) == 0)
            return;
        const FormatArg aArgs[] = {FormatArg(static_cast<const char*>(g_strTitle))};
        FormatText(s_szMessage, sizeof s_szMessage, s_szFormat, aArgs, 1);
        (void)MessageBoxA(NULL, s_szMessage, g_strTitle, kSuccessStyle);
        return;
    }

    if (LoadStringA(g_hInstance, IDS_ERROR_FORMAT, s_szFormat, 511) == 0)
        return;
    // A code with a non-empty row of its own shows that row as it stands. Only codes
    // that are string ids at all are looked up: a larger code would alias a lower row.
    CString strOwn;
    if (nCode > 0 && nCode <= 0xFFFF) {
        try {
            (void)strOwn.LoadString(static_cast<UINT>(nCode));
        } catch (CException* e) {
            e->Delete();
            return;
        }
    }
    const char* pszText = strOwn;
    if (strOwn.IsEmpty()) {
        const FormatArg aArgs[] = {FormatArg(nCode), FormatArg(static_cast<const char*>(g_strTitle))};
        FormatText(s_szMessage, sizeof s_szMessage, s_szFormat, aArgs, 2);
        pszText = s_szMessage;
    }
    (void)MessageBoxA(NULL, pszText, g_strTitle, kFailureStyle);
}
