// Reading the embedded package: its compound-file header, then its summary information.
#pragma once

#include <string>

#include "configuration.h"

namespace check {

// The package's summary; a package that cannot be read says why in its problem.
PackageSummary ReadPackage(const std::string& bytes);

}  // namespace check
