// Reading the embedded package: its header on the bytes, then its summary information in a child process.
#pragma once

#include <string>

#include "configuration.h"

namespace check {

// Reads the summary of the package file at 'path' into 'summary', its problem included.
using SummaryReader = void (*)(const std::string& path, PackageSummary& summary);

// The summary through libmsi.
void ReadSummary(const std::string& path, PackageSummary& summary);

// The package's summary; a package that cannot be read says why in its problem. Bytes
// that pass the header check go to a temporary file, which 'reader' reads in a child
// process stopped after 'seconds': its crash or hang makes the problem, not the caller's.
PackageSummary ReadPackage(const std::string& bytes, SummaryReader reader = ReadSummary, unsigned seconds = 60);

}  // namespace check
