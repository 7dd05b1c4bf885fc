// Reading installer files for the checks: the package (header, then summary in a child process), products' features.
#pragma once

#include <string>

#include "configuration.h"

namespace check {

// Reads the summary of the package file at 'path' into 'summary', its problem included.
using SummaryReader = void (*)(const std::string& path, PackageSummary& summary);

// The summary through libmsi, and each transform's through the storage library.
void ReadSummary(const std::string& path, PackageSummary& summary);

// The package's summary; a package that cannot be read says why in its problem. Bytes
// that pass the header check go to a temporary file, which 'reader' reads in a child
// process stopped after 'seconds': its crash or hang makes the problem, not the caller's.
PackageSummary ReadPackage(const std::string& bytes, SummaryReader reader = ReadSummary, unsigned seconds = 60);

// The feature names of the product file at 'path' through libmsi, its problem included.
void ReadFeatureNames(const std::string& path, ProductFeatures& product);

// A product's .msi as given ('path'), its features read in a child process stopped after
// 'seconds'; one that cannot be read says why in its problem.
ProductFeatures ReadProductFeatures(const std::string& path, unsigned seconds = 60);

}  // namespace check
