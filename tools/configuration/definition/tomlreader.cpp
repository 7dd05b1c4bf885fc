// Reading a definition's TOML tables: each value checked for its type and place, each problem reported where it stands.
#include "tomlreader.h"

#include <cstdio>
#include <filesystem>

#include "checkutil.h"

namespace define {

Position At(const toml::source_region& region) { return {region.begin.line, region.begin.column}; }

const char* TypeName(toml::node_type type)
{
    switch (type) {
    case toml::node_type::table:
        return "a table";
    case toml::node_type::array:
        return "an array";
    case toml::node_type::string:
        return "a string";
    case toml::node_type::integer:
        return "an integer";
    case toml::node_type::floating_point:
        return "a floating-point number";
    case toml::node_type::boolean:
        return "a boolean";
    default:
        return "a date or time";
    }
}

void Reader::Error(Position at, const std::string& text)
{
    for (const Diagnostic& error : m_errors)
        if (error.at.line == at.line && error.at.column == at.column && error.text == text)
            return;
    m_errors.push_back({at, text});
}

void Reader::OnlyKeys(const toml::table& table, std::initializer_list<const char*> known, const std::string& where)
{
    for (auto&& [key, node] : table) {
        bool found = false;
        for (const char* name : known)
            found = found || key.str() == name;
        if (!found)
            Error(At(key.source()), "unknown key \"" + std::string(key.str()) + "\" in " + where);
    }
}

const toml::table* Reader::Table(const toml::table& parent, const char* key, bool required)
{
    const toml::node* node = parent.get(key);
    if (node == nullptr) {
        if (required)
            Error({1, 1}, "the definition has no [" + std::string(key) + "] table");
        return nullptr;
    }
    if (!node->is_table())
        Error(At(node->source()), std::string(key) + " must be a table, not " + TypeName(node->type()));
    return node->as_table();
}

bool Reader::String(const toml::table& table, const char* key, const std::string& where, bool required, Position owner,
                    std::string& out)
{
    const toml::node* node = table.get(key);
    if (node == nullptr) {
        if (required)
            Error(owner, where + " has no \"" + key + "\"");
        return false;
    }
    if (!node->is_string()) {
        Error(At(node->source()), where + " " + key + " must be a string, not " + TypeName(node->type()));
        return false;
    }
    out = node->as_string()->get();
    return true;
}

void Reader::NonEmpty(const toml::table& table, const char* key, const std::string& where, Position owner,
                      std::string& out, const char* why)
{
    if (String(table, key, where, true, owner, out) && out.empty())
        Error(At(table.get(key)->source()), where + " " + key + " is empty: " + why);
}

void Reader::Path(const toml::table& table, const char* key, const std::string& where, std::string& out, Position* at)
{
    if (!String(table, key, where, false, {}, out))
        return;
    const toml::node* node = table.get(key);
    if (at != nullptr)
        *at = At(node->source());
    out = (std::filesystem::path(m_folder) / out).lexically_normal().string();
    if (!std::filesystem::is_regular_file(out))
        Error(At(node->source()), where + " " + key + " names \"" + out + "\", which is not a file");
}

void Reader::Latin1(const toml::node& node, const std::string& where, const std::string& text)
{
    for (unsigned long point : CodePoints(text))
        if (point > 0xFF) {
            char hex[24];
            std::snprintf(hex, sizeof hex, "U+%04lX", point);
            Error(At(node.source()),
                  where + " holds " + hex + ", which an 8-bit description cannot carry: only U+0000 to U+00FF");
            return;
        }
}

void Reader::Version(const toml::node& node, const std::string& where, const std::string& text)
{
    if (const std::string trouble = check::EntryTrouble(text); !trouble.empty())
        Error(At(node.source()), where + " \"" + text + "\" is not four numbers from 0 to 65535 separated by dots (" +
                                     trouble + "): the launcher's gate reads it as " + check::GateVersion(text));
}

}  // namespace define
