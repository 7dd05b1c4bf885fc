// Reading a definition's TOML tables: each value checked for its type and place, each problem reported where it stands.
#pragma once

#include <initializer_list>
#include <string>
#include <toml++/toml.h>
#include <vector>

#include "definition.h"

namespace define {

Position At(const toml::source_region& region);
// "a string", "an integer", ...
const char* TypeName(toml::node_type type);

// The checks every part of the definition is read with. A report names the value's place
// ('where': "[launcher]", "product 3") and stands at the value, or at its table's header
// ('owner') when the value is missing.
class Reader {
public:
    Reader(const std::string& folder, std::vector<Diagnostic>& errors) : m_folder(folder), m_errors(errors) {}

    // Reports a problem once: a value that [product_defaults] gives every product is read for each.
    void Error(Position at, const std::string& text);
    // Reports each key of the table that is not one of 'known'.
    void OnlyKeys(const toml::table& table, std::initializer_list<const char*> known, const std::string& where);
    // The table under 'key', or nullptr when it is absent (reported when required) or not a table.
    const toml::table* Table(const toml::table& parent, const char* key, bool required);
    // The string under 'key'; false when it is absent (reported when required) or not a string.
    bool String(const toml::table& table, const char* key, const std::string& where, bool required, Position owner,
                std::string& out);
    // A required string that the launcher needs non-empty, 'why' says.
    void NonEmpty(const toml::table& table, const char* key, const std::string& where, Position owner, std::string& out,
                  const char* why);
    // An optional path, resolved against the definition's folder; it must name a file. 'at'
    // receives where it stands.
    void Path(const toml::table& table, const char* key, const std::string& where, std::string& out,
              Position* at = nullptr);
    // Text that 8-bit resources carry: code points up to U+00FF only.
    void Latin1(const toml::node& node, const std::string& where, const std::string& text);
    // A dotted version of four numbers from 0 to 65535, as the launcher's gate reads versions.
    void Version(const toml::node& node, const std::string& where, const std::string& text);

private:
    std::string m_folder;
    std::vector<Diagnostic>& m_errors;
};

// The parts of a definition read apart from the rest: [product_defaults] and [[product]], [features.<tag>].
void ReadProducts(Reader& r, const toml::table& root, Definition& d);
void ReadFeatures(Reader& r, const toml::table& root, Definition& d);

}  // namespace define
