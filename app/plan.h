// /plan: what a normal run would do for each product, told instead of done.
#pragma once

#include "app/productrecord.h"
#include "installer/snapshot.h"

// Takes a product's turn as a normal run would up to the feature selection (the version
// gate, the network probe, the selection) and notes what the rest would do: the patch
// command line, the features to reinstall or add, the host settings to remove. Writes
// no package, changes no setting, calls no configuring installer function.
// A product that has the patch (strPatchCode) already is noted as left alone.
void PlanProductTurn(CProductRecord& record, CFeatureSnapshot* pSnapshot, const CString& strSuffix,
                     const CString& strPatchCode);
// Notes whether another installation keeps the installer busy now (a run would wait for it).
void PlanInstallerBusy();
// Notes that no configured product is installed.
void PlanNothingInstalled();
// Logs the plan and shows it in one information box (cut to fit) unless /q.
void ReportPlan(const CString& strCaption);
