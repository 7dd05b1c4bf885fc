// The resource script of a definition: the launcher's resources as windres takes them, every text escaped.
#include "script.h"

#include <cstdio>

#include "res/resource.h"

namespace define {

namespace {

// The UTF-16 units of UTF-8 text.
std::vector<unsigned> Utf16(const std::string& text)
{
    std::vector<unsigned> units;
    for (unsigned long point : CodePoints(text)) {
        if (point < 0x10000) {
            units.push_back(static_cast<unsigned>(point));
        } else {
            units.push_back(static_cast<unsigned>(0xD800 + ((point - 0x10000) >> 10)));
            units.push_back(static_cast<unsigned>(0xDC00 + ((point - 0x10000) & 0x3FF)));
        }
    }
    return units;
}

// A wide string literal: printable ASCII as it stands ("" for a quote, \\ for a backslash),
// every other unit as \xHHHH, of which windres reads exactly four digits.
std::string Wide(const std::string& text)
{
    std::string literal = "L\"";
    for (unsigned unit : Utf16(text)) {
        if (unit == '"') {
            literal += "\"\"";
        } else if (unit == '\\') {
            literal += "\\\\";
        } else if (unit >= 0x20 && unit < 0x7F) {
            literal += static_cast<char>(unit);
        } else {
            char escape[8];
            std::snprintf(escape, sizeof escape, "\\x%04X", unit);
            literal += escape;
        }
    }
    return literal + "\"";
}

// A file name as windres takes it: quoted, a quote doubled.
std::string FileName(const std::string& path)
{
    std::string quoted = "\"";
    for (char c : path)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// The LANGUAGE statement of a language id: its primary language and sublanguage.
std::string Language(unsigned language)
{
    return "LANGUAGE " + std::to_string(language & 0x3FF) + ", " + std::to_string(language >> 10) + "\n";
}

// "1,0,0,1" of "1.0.0.1", as the version block's fixed fields take it.
std::string Commas(std::string version)
{
    for (char& c : version)
        c = c == '.' ? ',' : c;
    return version;
}

std::string VersionBlock(const Definition& d)
{
    const std::string internal = d.file.substr(0, d.file.size() - 4);
    std::vector<std::pair<const char*, std::string>> values = {{"CompanyName", d.company},
                                                               {"FileDescription", d.description},
                                                               {"FileVersion", d.fileVersion},
                                                               {"InternalName", internal}};
    if (!d.copyright.empty())
        values.push_back({"LegalCopyright", d.copyright});
    values.insert(values.end(),
                  {{"OriginalFilename", d.file}, {"ProductName", d.productName}, {"ProductVersion", d.productVersion}});
    std::string block = "IDR_VERSION VERSIONINFO\nFILEVERSION " + Commas(d.fileVersion) + "\nPRODUCTVERSION " +
                        Commas(d.productVersion) +
                        "\nFILEOS 0x4\nFILETYPE 0x1\nBEGIN\n    BLOCK \"StringFileInfo\"\n    BEGIN\n"
                        "        BLOCK \"040904b0\"\n        BEGIN\n";
    for (const auto& [name, value] : values)
        block += "            VALUE \"" + std::string(name) + "\", " + Wide(value) + "\n";
    return block + "        END\n    END\n    BLOCK \"VarFileInfo\"\n    BEGIN\n"
                   "        VALUE \"Translation\", 0x409, 1200\n    END\nEND\n";
}

}  // namespace

std::string ResourceScript(const Definition& d, const LauncherTexts& texts, const ScriptFiles& files)
{
    std::string script = "// The launcher's resources, made by splaunch-define from " + files.definition +
                         ": edit that file, not this one.\n#include <windows.h>\n#include " +
                         FileName(files.resourceHeader) + "\n\n";
    // The icon and the manifest in US English, as resource compilers give them by default.
    script += Language(0x409) + "1 ICON " + FileName(files.icon) + "\n1 24 " + FileName(files.manifest) + "\n\n";
    script += "// The patch description, one copy per language.\n";
    for (const auto& [language, bytes] : texts.descriptions)
        script += Language(language) + "IDR_DESCRIPTION TXT " + FileName(files.descriptions.at(language)) + "\n";
    script += "\n// The patch package; IDR_MSP is its name.\n" + Language(0) + "IDR_MSP MSP " +
              FileName(files.package) + "\n\n";
    script += "STRINGTABLE\nBEGIN\n";
    for (const auto& [id, text] : texts.rows)
        script += "    " + std::to_string(id) + " " + Wide(text) + "\n";
    return script + "END\n\n" + VersionBlock(d);
}

std::string DescriptionFileName(unsigned language)
{
    return "description-" + (language == 0 ? std::string("neutral") : std::to_string(language)) + ".txt";
}

}  // namespace define
