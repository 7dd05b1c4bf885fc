// What every fuzz target shares: a fresh simulated machine per input, and the input cut in parts.
#pragma once

#include "platform/sim/sim.h"
#include "res/resource.h"

#include <stddef.h>
#include <stdint.h>
#include <string>
#include <vector>

// A fresh machine with the call log off and the launcher's process-wide state as at start.
void FuzzReset();

// The input cut at each byte equal to chSeparator, into at most nMaxParts parts (the last
// part keeps the rest).
std::vector<std::string> FuzzSplit(const uint8_t* pData, size_t nSize, char chSeparator, size_t nMaxParts);

// Stops the run when an invariant does not hold, naming it.
void FuzzCheck(bool bHolds, const char* pszInvariant);
