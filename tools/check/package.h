// Reading the embedded package: its compound-file header, then its summary information.
#pragma once

#include <string>

#include "configuration.h"

namespace check {

// Why the bytes cannot be an installer patch by their header and root storage class id;
// "" when they can.
std::string PackageHeaderProblem(const std::string& bytes);

// The package's summary; a package that cannot be read says why in its problem.
PackageSummary ReadPackage(const std::string& bytes);

}  // namespace check
