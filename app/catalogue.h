// The product catalogue: the configured products that the installer reports installed.
#pragma once

#include "app/productrecord.h"

// TRUE when the installer's state for the product is installed (5) or advertised (1).
BOOL IsProductInstalled(const CString& strProductCode);
// The installer's "VersionString" of the product; empty when it reports none.
CString GetInstalledVersion(const CString& strProductCode);
// Appends every complete configured product that is installed, in configuration
// order, and sets g_strTitle to the first complete product's name that is not empty.
void LoadProductCatalogue(CProductRecordArray& arrProducts);
