// Applying the patch to one product, and removing again the features whose state it changed.
#pragma once

#include "app/productrecord.h"
#include "installer/snapshot.h"

enum PatchOutcome {
    kPatchApplied,    // applied; a restart may be pending or under way
    kPatchCancelled,  // the user cancelled the installer: no failure, no success
    kPatchFailed      // the installer's result has been shown as a failure
};

// Builds the record's patch command line and configures the product with it.
PatchOutcome ApplyPatch(CProductRecord& record, const CString& strAddLocal, const CString& strReinstall,
                        const CString& strSuffix);
// Removes every snapshot feature whose state now differs from the recorded one, with
// the installer's own display off from then on. Returns the removal's result, or 0
// when nothing had to be removed.
UINT RestoreFeatureStates(CString strProductCode, const CFeatureSnapshot* pSnapshot);
