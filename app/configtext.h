// Reading configuration texts: a row's update tag and value, and numbers inside texts.
#pragma once

#include "framework/string.h"

// Splits a row at its first ":" into the update tag and the value; a row without
// ":" has an empty tag and is all value.
void SplitConfigRow(const CString& strRow, CString& strTag, CString& strValue);

// Loads string-table row nID and gives its value (the text after the first ":").
// FALSE when the row is absent or empty.
BOOL LoadConfigValue(UINT nID, CString& strValue);

// Reads a number as the runtime's atol does: leading white space, an optional sign,
// decimal digits up to the first other character; 0 without digits. The value wraps
// modulo 2^32 instead of overflowing, so its low bits are those of the written number.
long ReadDecimal(const char* psz);
