// A launcher definition as its TOML file states it, and the string-table rows and description texts it makes.
#pragma once

#include <map>
#include <string>
#include <vector>

namespace define {

// Where something stands in the definition file, counted from 1; 0 when nowhere in particular.
struct Position {
    unsigned line = 0;
    unsigned column = 0;
};

struct Diagnostic {
    Position at;
    std::string text;
};

// The description's identity keys: written bare in a copy's lines, each takes the definition's value.
const char kTitleKey[] = "PatchTitle";
const char kGuidKey[] = "PatchGUID";

// One language copy of the patch description: its lines in order, each "key=value", an
// empty line, or a bare identity key.
struct DescriptionCopy {
    unsigned language = 0;
    std::vector<std::string> lines;
};

struct Product {
    Position at;  // its [[product]] header
    std::string name, code, tag, targetVersion, hostKey;
    std::string language;               // decimal, as the row holds it
    std::vector<std::string> accepted;  // versions, each one entry of the gate's list
    std::string msi;                    // the product's .msi for the check, or empty
};

// The feature rows of the products with one tag, in each band: "name,container,...".
struct FeatureRows {
    std::string tag;
    std::vector<std::string> first, second;
};

struct Definition {
    // [launcher]: the file and its version block.
    std::string file, company, productName, description, fileVersion, productVersion, copyright;
    std::string icon;  // empty: the shipped icon
    // [patch]
    std::string package;  // empty when the build supplies it
    Position packageAt;   // where the definition names it, or its [patch] header
    std::string guid;     // empty: the package's patch code
    // [description]
    std::string title;
    std::vector<DescriptionCopy> copies;  // at least one after reading
    // [messages]: the row of each message the definition gives; "" leaves the row out.
    std::map<unsigned, std::string> messages;
    std::vector<Product> products;
    std::vector<FeatureRows> features;  // in the order the definition gives the tags
    // [signing]
    std::string signingProgram, signingUrl;
};

// Reads the TOML text of a definition; relative paths in it resolve against 'folder', and
// the files they name must exist. Every problem goes to 'errors'; the definition is
// usable only when there are none.
Definition ReadDefinition(const std::string& text, const std::string& folder, std::vector<Diagnostic>& errors);

// What the launcher's resources hold: string-table rows by id, and the bytes of each
// description copy by language, for the patch code 'guid'.
struct LauncherTexts {
    std::map<unsigned, std::string> rows;  // UTF-8
    std::map<unsigned, std::string> descriptions;
};
LauncherTexts MakeTexts(const Definition& definition, const std::string& guid);

// The code points of UTF-8 text (TOML text is UTF-8, checked by the parser).
std::vector<unsigned long> CodePoints(const std::string& utf8);

}  // namespace define
