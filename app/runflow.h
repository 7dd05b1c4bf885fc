// The run over the catalogue: each installed product's turn, in configuration order.
#pragma once

#include "app/productrecord.h"
#include "installer/snapshot.h"

// Builds the catalogue into arrProducts and patches each product with its own
// snapshot (aSnapshots has kMaxProducts entries). Shows IDS_NOT_INSTALLED when nothing is installed.
// A framework exception ends the run silently; what was done for earlier products stands.
void RunProducts(CProductRecordArray& arrProducts, CFeatureSnapshot* aSnapshots, const CString& strSuffix);
