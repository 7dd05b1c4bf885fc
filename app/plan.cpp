// /plan: what a normal run would do for each product, told instead of done.
#include "app/plan.h"

#include "app/globals.h"
#include "hostsettings/hostsettings.h"
#include "installer/applied.h"
#include "installer/apply.h"
#include "installer/busy.h"
#include "installer/features.h"
#include "installer/versiongate.h"
#include "messages/log.h"
#include "payload/package.h"

// A message box stays on the screen up to about this many characters, and this wide a word.
static const int kBoxLength = 1200;
static const int kBoxWord = 90;

static const char kNone[] = "(none)";  // an empty list or step, as the plan shows it

static CString s_strBox;  // the plan as the box shows it, products in configuration order

// The plan of a product as the log gets it (exact lists, the whole command line) and as
// the box shows it (the lists' first names, long words cut).
static void AddToPlan(const CString& strLog, const CString& strBox)
{
    LogLines("plan", strLog);
    if (!s_strBox.IsEmpty())
        s_strBox += "\r\n\r\n";
    int nWord = 0;
    for (int i = 0; i < strBox.GetLength(); ++i) {
        const char ch = strBox.GetAt(i);
        nWord = ch == ' ' || ch == '\r' || ch == '\n' ? 0 : nWord + 1;
        if (nWord < kBoxWord)
            s_strBox += ch;
        else if (nWord == kBoxWord)
            s_strBox += "...";
    }
}

// A feature list for the box: its first names with a blank after each comma, so that
// the box can wrap them, and how many more there are.
static CString ShortList(const CString& strList)
{
    if (strList.IsEmpty())
        return kNone;
    static const int kShown = 8;
    CString str;
    int nNames = 0;
    for (int i = 0; i < strList.GetLength(); ++i) {
        if (strList.GetAt(i) != ',') {
            if (nNames < kShown)
                str += strList.GetAt(i);
        } else if (++nNames < kShown && i + 1 < strList.GetLength()) {
            str += ", ";
        }
    }
    if (nNames > kShown) {
        CString strMore;
        strMore.Format(" and %d more", nNames - kShown);
        str += strMore;
    }
    return str;
}

void PlanInstallerBusy()
{
    CString strPlan("No other installation is running now.");
    if (IsInstallerBusy())
        strPlan.Format("Another installation is running now: a run would wait for it for at most %u seconds.",
                       g_dwWaitSeconds);
    AddToPlan(strPlan, strPlan);
}

void PlanProductTurn(CProductRecord& record, CFeatureSnapshot* pSnapshot, const CString& strSuffix,
                     const CString& strPatchCode)
{
    g_strTitle = record.m_strName;
    // Every text from the configuration or the machine stays on its line of the plan.
    const CString strName = OneLineText(record.m_strName);
    const CString strCode = OneLineText(record.m_strProductCode);
    const CString strVersion = OneLineText(record.m_strInstalledVersion);
    CString strPlan;
    if (IsPatchApplied(record.m_strProductCode, strPatchCode)) {
        strPlan.Format("%s %s has the patch %s already: it would be left as it is.", strName, strCode,
                       OneLineText(strPatchCode));
        AddToPlan(strPlan, strPlan);
        return;
    }
    if (!IsVersionAccepted(record)) {
        strPlan.Format("%s %s: version %s is not accepted (%s): it would not be patched.", strName, strCode,
                       strVersion, OneLineText(record.m_strAcceptedVersions));
        AddToPlan(strPlan, strPlan);
        return;
    }
    CString strAddLocal;
    CString strReinstall;
    record.m_bNetworkInstall = IsNetworkInstall(record.m_strHostKey);
    SelectFeatures(record, strAddLocal, strReinstall, pSnapshot);
    CString strSettings = OneLineText(PlanHostSettings(record.m_strProductCode, record.m_strHostKey));
    if (strSettings.IsEmpty())
        strSettings = kNone;
    strAddLocal = OneLineText(strAddLocal);
    strReinstall = OneLineText(strReinstall);
    const CString strCommandLine =
        OneLineText(FormPatchCommandLine(PlannedPackagePath(), strAddLocal, strReinstall, strSuffix));
    static const char kPlan[] =
        "%s %s, version %s, would be patched.\r\nReinstalled: %s\r\nAdded: %s\r\nHost settings removed: "
        "%s\r\nCommand line: %s";
    CString strBox;
    strPlan.Format(kPlan, strName, strCode, strVersion, strReinstall.IsEmpty() ? CString(kNone) : strReinstall,
                   strAddLocal.IsEmpty() ? CString(kNone) : strAddLocal, strSettings, strCommandLine);
    strBox.Format(kPlan, strName, strCode, strVersion, ShortList(strReinstall), ShortList(strAddLocal), strSettings,
                  strCommandLine);
    AddToPlan(strPlan, strBox);
}

void PlanNothingInstalled()
{
    const CString strPlan("No configured product is installed: nothing would be patched.");
    AddToPlan(strPlan, strPlan);
}

void ReportPlan(const CString& strCaption)
{
    CString strText("This run changed nothing (/plan). A run without /plan would do this:\r\n\r\n");
    strText += s_strBox;
    s_strBox.Empty();
    if (g_bQuiet)
        return;
    if (strText.GetLength() > kBoxLength)
        strText = strText.Left(kBoxLength) + "\r\n...";
    (void)MessageBoxA(NULL, strText, strCaption, MB_OK | MB_ICONINFORMATION | MB_SETFOREGROUND | MB_TOPMOST);
}
