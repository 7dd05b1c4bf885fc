// The checks' common ground: row access, the catalogue, command lines, and the report's order.
#include "checkutil.h"

#include <cctype>
#include <cstdio>
#include <map>

namespace check {

const std::string* Row(const Configuration& config, unsigned id)
{
    const auto it = config.rows.find(id);
    return it == config.rows.end() || it->second.empty() ? nullptr : &it->second;
}

const char* AbsenceOf(const Configuration& config, unsigned id)
{
    return config.rows.count(id) != 0 ? "empty" : "missing";
}

std::vector<std::string> SplitAt(const std::string& text, char separator)
{
    std::vector<std::string> pieces;
    std::size_t start = 0;
    for (std::size_t at; (at = text.find(separator, start)) != std::string::npos; start = at + 1)
        pieces.push_back(text.substr(start, at - start));
    pieces.push_back(text.substr(start));
    return pieces;
}

void SplitRow(const std::string& row, std::string& tag, std::string& value)
{
    const std::size_t colon = row.find(':');
    tag = colon == std::string::npos ? std::string() : row.substr(0, colon);
    value = colon == std::string::npos ? row : row.substr(colon + 1);
}

Catalogue ReadCatalogue(const Configuration& config)
{
    // The launcher's loop: it stops at the first position with any row absent, and at the
    // last 16-bit id of the band it reads last.
    Catalogue catalogue;
    unsigned& end = catalogue.end;
    for (end = 0; IDS_PRODUCT_ACCEPTED_VERSIONS + end <= IDS_LAST_ROW; ++end) {
        bool complete = true;
        for (unsigned band : kProductBands)
            complete = complete && Row(config, band + end) != nullptr;
        if (!complete)
            break;
    }
    // Positions beyond a band's own rows belong to the next band.
    for (unsigned i = 0; i < kBandWidth || i < end; ++i) {
        Product product;
        product.position = i;
        std::string* values[6] = {&product.name, &product.code, &product.language, nullptr, nullptr, &product.accepted};
        bool any = false;
        for (int b = 0; b < 6; ++b) {
            const std::string* row = Row(config, kProductBands[b] + i);
            product.present[b] = row != nullptr;
            any = any || row != nullptr;
            std::string tag;
            std::string value;
            if (row != nullptr)
                SplitRow(*row, tag, value);
            if (b == 0)
                product.tag = tag;
            if (values[b] != nullptr)
                *values[b] = value;
        }
        if (any)
            catalogue.products.push_back(product);
    }
    return catalogue;
}

std::string Ranges(const std::vector<unsigned>& ids)
{
    std::string text;
    for (std::size_t i = 0; i < ids.size();) {
        std::size_t j = i;
        while (j + 1 < ids.size() && ids[j + 1] == ids[j] + 1)
            ++j;
        text += (text.empty() ? "" : ", ") + std::to_string(ids[i]);
        if (j > i)
            text += "-" + std::to_string(ids[j]);
        i = j + 1;
    }
    return text;
}

std::string RowList(const std::vector<unsigned>& ids) { return (ids.size() == 1 ? "row " : "rows ") + Ranges(ids); }

bool IsBracedGuid(const std::string& text) { return GuidTrouble(text).empty(); }

std::string GuidTrouble(const std::string& text)
{
    static const char kShape[] = "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}";
    const std::size_t size = sizeof kShape - 1;
    std::string trouble;
    for (std::size_t i = 0; i < text.size() && i < size && trouble.empty(); ++i) {
        const unsigned char c = static_cast<unsigned char>(text[i]);
        const bool hex = kShape[i] == 'X';
        if (hex ? std::isxdigit(c) != 0 : c == kShape[i])
            continue;
        char shown[8];
        std::snprintf(shown, sizeof shown, std::isprint(c) != 0 ? "'%c'" : "0x%02X", c);
        trouble = "character " + std::to_string(i + 1) + " " + shown + " is not " +
                  (hex ? std::string("a hexadecimal digit") : "'" + std::string(1, kShape[i]) + "'");
    }
    if (text.size() != size)
        trouble += (trouble.empty() ? "" : "; ") + std::to_string(size) + " characters expected, " +
                   std::to_string(text.size()) + " found";
    return trouble;
}

bool SameGuid(const std::string& a, const std::string& b)
{
    if (a.size() != b.size())
        return false;
    for (std::size_t i = 0; i < a.size(); ++i)
        if (std::toupper(static_cast<unsigned char>(a[i])) != std::toupper(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string CodeKey(const std::string& code)
{
    std::string key;
    for (char c : code)
        key += static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return key;
}

bool IsBlank(char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

// Splits a command line into its words as the installer does: a blank outside quotes ends
// a word, a quote opens or closes, and "" inside quotes stands for one quote.
static std::vector<std::string> Words(const std::string& line)
{
    std::vector<std::string> words;
    std::size_t i = 0;
    while (i < line.size()) {
        if (line[i] == ' ') {
            ++i;
            continue;
        }
        std::string word;
        bool quoted = false;
        for (; i < line.size() && (quoted || line[i] != ' '); ++i) {
            if (line[i] != '"')
                word += line[i];
            else if (quoted && i + 1 < line.size() && line[i + 1] == '"')
                word += line[++i];
            else
                quoted = !quoted;
        }
        words.push_back(word);
    }
    return words;
}

std::string MisreadProperties(const std::string& commandLine,
                              const std::vector<std::pair<std::string, std::string>>& intended)
{
    std::map<std::string, std::string> wanted(intended.begin(), intended.end());
    std::vector<std::string> phrases;
    for (const std::string& word : Words(commandLine)) {
        const std::size_t equals = word.find('=');
        if (equals == std::string::npos) {
            phrases.push_back("finds the stray word \"" + word + "\"");
            continue;
        }
        const std::string name = word.substr(0, equals);
        const std::string value = word.substr(equals + 1);
        const auto it = wanted.find(name);
        if (it == wanted.end())
            phrases.push_back("also sets " + name + " to \"" + value + "\"");
        else if (it->second != value)
            phrases.push_back("sets " + name + " to \"" + value + "\"");
        if (it != wanted.end())
            wanted.erase(it);
    }
    for (const auto& property : intended)
        if (wanted.count(property.first) != 0)
            phrases.push_back("never sees " + property.first);
    std::string text;
    for (std::size_t i = 0; i < phrases.size(); ++i)
        text += (i == 0 ? "" : i + 1 == phrases.size() ? " and " : ", ") + phrases[i];
    return text;
}

std::vector<std::pair<std::string, std::string>> PatchProperties(const std::string& addLocal,
                                                                 const std::string& reinstall, const std::string& title,
                                                                 const std::string& guid)
{
    return {{"PATCH", "<package>"}, {"ADDLOCAL", addLocal}, {"REINSTALL", reinstall},
            {"PATCHTITLE", title},  {"PATCHGUID", guid},    {"REBOOT", kNoRestart}};
}

std::string CommandLine(const std::vector<std::pair<std::string, std::string>>& properties)
{
    std::string line;
    for (const auto& property : properties) {
        // REBOOT's one word goes as the launcher writes it, without quotes.
        const std::string quote = property.first == "REBOOT" ? "" : "\"";
        line += (line.empty() ? "" : " ") + property.first + "=" + quote + property.second + quote;
    }
    return line;
}

std::vector<Finding> CheckConfiguration(const Configuration& config)
{
    std::vector<Finding> findings;
    const Catalogue catalogue = ReadCatalogue(config);
    CheckProducts(config, catalogue, findings);
    CheckFeatureRows(config, catalogue, findings);
    CheckProductFeatures(config, catalogue, findings);
    CheckMessageRows(config, findings);
    CheckDescriptions(config, findings);
    CheckPackage(config, catalogue, findings);
    return findings;
}

std::vector<std::string> FormatFindings(const std::vector<Finding>& findings, bool warnOnly)
{
    static const char* const kLabels[] = {"error", "warning", "note"};
    std::vector<std::string> lines;
    for (Severity severity : {Severity::Error, Severity::Warning, Severity::Note})
        for (const Finding& finding : findings) {
            if (finding.severity != severity)
                continue;
            const char* label = warnOnly && severity == Severity::Error ? "warning" : kLabels[int(severity)];
            lines.push_back(finding.resource + ": " + finding.row + ": " + label + ": " + finding.text);
        }
    return lines;
}

}  // namespace check
