// Reader of the patch definition file (sections of "key = value" and table rows).
#include "mspdef.h"

#include <sstream>
#include <stdexcept>

namespace msp {
namespace {

std::string Trim(const std::string& s)
{
    const char* ws = " \t\r\n";
    const size_t b = s.find_first_not_of(ws);
    if (b == std::string::npos)
        return std::string();
    return s.substr(b, s.find_last_not_of(ws) - b + 1);
}

[[noreturn]] void Fail(int line, const std::string& what)
{
    std::ostringstream os;
    os << "line " << line << ": " << what;
    throw std::runtime_error(os.str());
}

void AddPair(Pairs& section, const std::string& text, int line)
{
    const size_t eq = text.find('=');
    if (eq == std::string::npos)
        Fail(line, "expected key = value");
    const std::string key = Trim(text.substr(0, eq));
    if (key.empty())
        Fail(line, "empty key");
    for (size_t i = 0; i < section.size(); ++i)
        if (section[i].first == key)
            Fail(line, "duplicate key " + key);
    section.push_back(std::make_pair(key, Trim(text.substr(eq + 1))));
}

}  // namespace

std::string PatchDefinition::Get(const Pairs& section, const std::string& key, const char* fallback)
{
    for (size_t i = 0; i < section.size(); ++i)
        if (section[i].first == key)
            return section[i].second;
    if (fallback)
        return fallback;
    throw std::runtime_error("definition lacks " + key);
}

PatchDefinition ParseDefinition(std::istream& in)
{
    PatchDefinition def;
    Pairs* pairs = nullptr;
    std::string rowsTable;
    std::string raw;
    int line = 0;
    while (std::getline(in, raw)) {
        ++line;
        const std::string text = Trim(raw);
        if (text.empty() || text[0] == '#')
            continue;
        if (text[0] == '[') {
            if (text[text.size() - 1] != ']')
                Fail(line, "unterminated section");
            const std::string name = Trim(text.substr(1, text.size() - 2));
            pairs = nullptr;
            rowsTable.clear();
            if (name == "patch")
                pairs = &def.patch;
            else if (name == "target")
                pairs = &def.target;
            else if (name == "property")
                pairs = &def.properties;
            else if (name == "file")
                pairs = &def.files;
            else if (name.compare(0, 5, "rows ") == 0 && !Trim(name.substr(5)).empty())
                rowsTable = Trim(name.substr(5));
            else
                Fail(line, "unknown section [" + name + "]");
            continue;
        }
        if (pairs) {
            AddPair(*pairs, text, line);
        } else if (!rowsTable.empty()) {
            DefinitionRow row;
            row.table = rowsTable;
            row.line = line;
            std::string cell;
            std::istringstream cells(text);
            while (std::getline(cells, cell, '|'))
                row.cells.push_back(Trim(cell));
            if (text[text.size() - 1] == '|')
                row.cells.push_back(std::string());
            def.rows.push_back(row);
        } else {
            Fail(line, "text outside a section");
        }
    }
    return def;
}

}  // namespace msp
