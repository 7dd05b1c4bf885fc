// A launcher configuration as the checks see it, and the problems they find in it.
#pragma once

#include <cstdint>
#include <map>
#include <set>
#include <string>
#include <vector>

namespace check {

// One language copy of the patch description: its bytes exactly as embedded.
struct DescriptionCopy {
    std::uint16_t language = 0;
    std::string bytes;
};

// A transform of the patch: the product it applies to and the version it was made from.
struct TransformTarget {
    std::string name;         // its substorage in the patch
    std::string productCode;  // empty when its summary cannot be read
    std::string oldVersion;
    std::string problem;  // why its summary cannot be read; empty when it can
};

// What the package tells about itself. The checks never read package bytes, so tests can
// state a package's summary without building a compound file.
struct PackageSummary {
    bool present = false;                     // the launcher finds the resource it looks for
    std::string elsewhere;                    // for a missing package: the MSP resources found instead
    std::string problem;                      // why it cannot serve as a patch; empty when it can
    std::vector<std::string> targets;         // product codes the patch names as its targets
    std::string revision;                     // the patch code, possibly followed by the codes it replaces
    std::vector<TransformTarget> transforms;  // those its summary names, in order
};

// A product's installer database, given for the check of its feature rows.
struct ProductFeatures {
    std::string msi;                 // the file as given
    std::set<std::string> features;  // the names of its Feature table
    std::string problem;             // why they cannot be read; empty when they can
};

struct Configuration {
    std::map<unsigned, std::string> rows;  // string-table rows as 8-bit text, by id
    std::set<std::uint16_t> stringTableLanguages;
    std::vector<DescriptionCopy> descriptions;
    PackageSummary package;
    std::map<std::string, ProductFeatures> products;  // the .msi given for a product code, by the code in capitals
};

enum class Severity { Error, Warning, Note };

struct Finding {
    Severity severity;
    std::string resource;  // "STRINGTABLE", "TXT 206", "MSP IDR_MSP"
    std::string row;       // the row id, or "-" when no row applies
    std::string text;
};

// Every problem of the configuration, in the order the checks meet them.
std::vector<Finding> CheckConfiguration(const Configuration& config);

// The report's lines: errors, then warnings, then notes; with warnOnly errors are
// printed as warnings (still ahead of the real ones).
std::vector<std::string> FormatFindings(const std::vector<Finding>& findings, bool warnOnly);

}  // namespace check
