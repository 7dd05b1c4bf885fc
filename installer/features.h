// Feature selection: which features the patch reinstalls or adds, and their prior states.
#pragma once

#include "app/productrecord.h"
#include "installer/snapshot.h"

// Queries every name of the feature text; records the names up to each advertised,
// absent or source one. TRUE when a name other than the last is defined (states 1-4).
BOOL CollectFeatures(CString strProductCode, const CString& strFeatureText, CFeatureSnapshot* pSnapshot);
// Records every name of the feature text from the first up to strName, each with nState,
// unless it is recorded already.
void RecordFeatureStates(CString strName, CString strFeatureText, int nState, CFeatureSnapshot* pSnapshot);
// TRUE when no snapshot entry has this name.
BOOL IsNotRecorded(CString strName, const CFeatureSnapshot* pSnapshot);

// Reads the product's feature rows, first the first band, then the second, and fills the ADDLOCAL and REINSTALL lists
// (each name followed by ",") and the snapshot.
void SelectFeatures(const CProductRecord& record, CString& strAddLocal, CString& strReinstall,
                    CFeatureSnapshot* pSnapshot);
