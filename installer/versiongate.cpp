// The version gate: the installed version against the product's accepted list.
#include "installer/versiongate.h"

#include "app/configtext.h"
#include "messages/log.h"
#include "messages/messages.h"

bool CVersion::operator==(const CVersion& other) const
{
    for (int i = 0; i < 4; ++i)
        if (m_nParts[i] != other.m_nParts[i])
            return false;
    return true;
}

static WORD ReadPart(const char* psz)
{
    return static_cast<WORD>(static_cast<unsigned long>(ReadDecimal(psz)) & 0xFFFFu);
}

CVersion ParseVersion(CString strText)
{
    CVersion version = {{0, 0, 0, 0}};
    (void)strText.Replace(',', '.');
    for (int i = 0; i < 3; ++i) {
        const int nDot = strText.Find('.');
        if (nDot < 0)
            return version;
        version.m_nParts[i] = ReadPart(strText.Left(nDot));
        strText = strText.Mid(nDot + 1);
    }
    version.m_nParts[3] = ReadPart(strText);
    return version;
}

BOOL IsVersionAccepted(const CProductRecord& record)
{
    const CVersion installed = ParseVersion(record.m_strInstalledVersion);
    CString strList = record.m_strAcceptedVersions;
    for (;;) {
        const int nComma = strList.Find(',');
        if (nComma < 0) {
            LogFormat("gate", "%s: version \"%s\" is not among the accepted \"%s\"", record.m_strProductCode,
                      record.m_strInstalledVersion, record.m_strAcceptedVersions);
            ShowMessage(IDS_WRONG_VERSION);
            return FALSE;
        }
        if (ParseVersion(strList.Left(nComma)) == installed) {
            LogFormat("gate", "%s: version \"%s\" accepted", record.m_strProductCode, record.m_strInstalledVersion);
            return TRUE;
        }
        strList = strList.Mid(nComma + 1);
    }
}
