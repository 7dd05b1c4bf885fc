// Reader of the patch definition file (sections of "key = value" and table rows).
#ifndef TOOLS_MSPDEF_H
#define TOOLS_MSPDEF_H

#include <istream>
#include <string>
#include <utility>
#include <vector>

namespace msp {

typedef std::vector<std::pair<std::string, std::string>> Pairs;

// A row for a table of the target product: cells in column order; an empty cell is null.
struct DefinitionRow {
    std::string table;
    std::vector<std::string> cells;
    int line;
};

struct PatchDefinition {
    Pairs patch;                      // [patch]: code, title, transform, cabinet, ...
    Pairs target;                     // [target]: msi, product_code, upgrade_code, old/new_version
    Pairs properties;                 // [property]: NAME = value
    Pairs files;                      // [file]: File key = path to the new content
    std::vector<DefinitionRow> rows;  // [rows TABLE]: "cell | cell | ..."

    // Value of a key in a section's pairs; throws if missing and no fallback given.
    static std::string Get(const Pairs& section, const std::string& key, const char* fallback = nullptr);
};

// Parses a definition; throws std::runtime_error("line N: ...") on a malformed line,
// an unknown section or a key given twice in one section.
PatchDefinition ParseDefinition(std::istream& in);

}  // namespace msp

#endif
