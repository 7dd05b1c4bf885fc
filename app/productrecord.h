// CProductRecord, one configured product, and CProductRecordArray, the catalogue's array.
#pragma once

#include "framework/collections.h"

// The most products a run handles: one feature-state snapshot each.
const int kMaxProducts = 256;

class CProductRecord {
public:
    CProductRecord() : m_bNetworkInstall(FALSE) {}

    BOOL m_bNetworkInstall;         // the host is a network installation
    CString m_strTag;               // update tag of the name row
    CString m_strProductCode;       // installer product code, a braced GUID
    CString m_strTargetVersion;     // the version the patch brings the product to
    CString m_strName;              // display name
    CString m_strLanguage;          // decimal locale identifier
    CString m_strHostKey;           // the host's registry key, below the hive
    CString m_strCommandLine;       // the patch command line, once built
    CString m_strAcceptedVersions;  // comma-terminated list of versions the patch applies to
    CString m_strPackagePath;       // the temporary package file, once written
    CString m_strInstalledVersion;  // "VersionString" as the installer reports it
};

// The installed products in configuration order. It does not free the records: the
// application object does.
class CProductRecordArray : public CPtrArray {
public:
    CProductRecord* GetAt(int nIndex) const { return static_cast<CProductRecord*>(CPtrArray::GetAt(nIndex)); }
    int Add(CProductRecord* pRecord) { return CPtrArray::Add(pRecord); }
};
