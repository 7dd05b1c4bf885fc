// The version gate: the installed version against the product's accepted list.
#pragma once

#include "app/productrecord.h"

// A version of four unsigned 16-bit parts, compared only for equality.
struct CVersion {
    WORD m_nParts[4];
    bool operator==(const CVersion& other) const;
};

// Reads a version text: "," counts as "."; the parts before the first three dots are
// read, and the fourth part only after a third dot. Each part keeps its low 16 bits.
CVersion ParseVersion(CString strText);

// TRUE when the record's installed version equals an entry of its accepted list (each
// entry ends with ","); otherwise shows IDS_WRONG_VERSION and returns FALSE.
BOOL IsVersionAccepted(const CProductRecord& record);
