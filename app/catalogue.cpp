// The product catalogue: the configured products that the installer reports installed.
#include "app/catalogue.h"

#include "app/configtext.h"
#include "app/globals.h"
#include "messages/log.h"
#include "res/resource.h"

BOOL IsProductInstalled(const CString& strProductCode)
{
    const INSTALLSTATE state = MsiQueryProductStateA(strProductCode);
    const BOOL bInstalled = state == INSTALLSTATE_DEFAULT || state == INSTALLSTATE_ADVERTISED;
    LogFormat("product", "%s: installer state %d, %s", strProductCode, state,
              bInstalled ? "installed" : "not installed");
    return bInstalled;
}

CString GetInstalledVersion(const CString& strProductCode)
{
    char szVersion[1024];
    szVersion[0] = '\0';
    DWORD cchVersion = sizeof szVersion;
    (void)MsiGetProductInfoA(strProductCode, INSTALLPROPERTY_VERSIONSTRING, szVersion, &cchVersion);
    szVersion[sizeof szVersion - 1] = '\0';
    return CString(szVersion);
}

// Fills the record's fields from the rows of product i; FALSE at the first absent row.
static BOOL LoadProductRows(UINT i, CProductRecord& record)
{
    CString strRow;
    if (!strRow.LoadString(IDS_PRODUCT_NAMES + i))
        return FALSE;
    SplitConfigRow(strRow, record.m_strTag, record.m_strName);
    return LoadConfigValue(IDS_PRODUCT_CODES + i, record.m_strProductCode) &&
           LoadConfigValue(IDS_PRODUCT_LANGUAGES + i, record.m_strLanguage) &&
           LoadConfigValue(IDS_PRODUCT_TARGET_VERSIONS + i, record.m_strTargetVersion) &&
           LoadConfigValue(IDS_PRODUCT_HOST_KEYS + i, record.m_strHostKey) &&
           LoadConfigValue(IDS_PRODUCT_ACCEPTED_VERSIONS + i, record.m_strAcceptedVersions);
}

void LoadProductCatalogue(CProductRecordArray& arrProducts)
{
    for (UINT i = 0; arrProducts.GetSize() < kMaxProducts && IDS_PRODUCT_ACCEPTED_VERSIONS + i <= IDS_LAST_ROW; ++i) {
        CProductRecord* pRecord = new CProductRecord;
        try {
            if (!LoadProductRows(i, *pRecord)) {
                delete pRecord;
                return;
            }
            if (g_strTitle.IsEmpty())
                g_strTitle = pRecord->m_strName;
            if (IsProductInstalled(pRecord->m_strProductCode)) {
                pRecord->m_strInstalledVersion = GetInstalledVersion(pRecord->m_strProductCode);
                LogFormat("product", "%s: version \"%s\" found; the patch brings it to %s", pRecord->m_strProductCode,
                          pRecord->m_strInstalledVersion, pRecord->m_strTargetVersion);
                arrProducts.Add(pRecord);
            } else {
                delete pRecord;
            }
        } catch (...) {
            delete pRecord;
            throw;
        }
    }
}
