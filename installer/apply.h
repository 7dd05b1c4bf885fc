// Applying the patch to one product, and removing again the features whose state it changed.
#pragma once

#include "app/productrecord.h"
#include "installer/snapshot.h"

enum PatchOutcome {
    kPatchApplied,    // applied; a restart may be pending or under way
    kPatchCancelled,  // the user cancelled the installer: no failure, no success
    kPatchFailed      // the installer's result has been shown as a failure
};

// The patch command line: PATCH, ADDLOCAL and REINSTALL, then the patch identity suffix.
CString FormPatchCommandLine(const CString& strPackagePath, const CString& strAddLocal, const CString& strReinstall,
                             const CString& strSuffix);
// Builds the record's patch command line and configures the product with it; with a log,
// the installer's own log for the product's turn nTurn (from 1) is enabled first.
PatchOutcome ApplyPatch(CProductRecord& record, const CString& strAddLocal, const CString& strReinstall,
                        const CString& strSuffix, int nTurn);
// Removes every snapshot feature whose state now differs from the recorded one, with
// the installer's own display off from then on. Returns the removal's result, or 0
// when nothing had to be removed.
UINT RestoreFeatureStates(CString strProductCode, const CFeatureSnapshot* pSnapshot);

// Sets the installer's user-interface level to none, for the rest of the process.
void TurnInstallerUiOff();
// Forgets the level set (the start of a run).
void ResetInstallerUiLevel();
