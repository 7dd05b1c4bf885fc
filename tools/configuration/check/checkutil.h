// Shared by the checks: rows as the launcher's loader sees them, its catalogue, and finding helpers.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "configuration.h"
#include "res/resource.h"

namespace check {

// The six product bands, in the order the catalogue reads a product's rows.
const unsigned kProductBands[] = {IDS_PRODUCT_NAMES,           IDS_PRODUCT_CODES,     IDS_PRODUCT_LANGUAGES,
                                  IDS_PRODUCT_TARGET_VERSIONS, IDS_PRODUCT_HOST_KEYS, IDS_PRODUCT_ACCEPTED_VERSIONS};
// A band's own rows run up to the next band's first id.
const unsigned kBandWidth = IDS_PRODUCT_CODES - IDS_PRODUCT_NAMES;

// The row's text, or nullptr when it is absent or empty: the loader reports both alike.
const std::string* Row(const Configuration& config, unsigned id);
// "missing" or "empty", for a row Row() does not give.
const char* AbsenceOf(const Configuration& config, unsigned id);

// Every piece between separators, empty ones included: "a,,b," gives "a", "", "b", "".
std::vector<std::string> SplitAt(const std::string& text, char separator);
// Splits at the first ':' into tag and value; without ':' the tag is empty.
void SplitRow(const std::string& row, std::string& tag, std::string& value);

// A product position with any row in any band; an absent row leaves its value empty.
struct Product {
    unsigned position = 0;
    bool present[6] = {};  // which of the six rows are there, in kProductBands order
    std::string tag;       // the name row's tag, the only one the launcher uses
    std::string name, code, language, accepted;
};

// Every configured product, and the position where the launcher's catalogue stops: it
// reads only the products before it.
struct Catalogue {
    std::vector<Product> products;
    unsigned end = 0;
};
Catalogue ReadCatalogue(const Configuration& config);

// A feature row the selection reads: every row of the first band, then of the second, up
// to each band's first absent row.
struct FeatureRow {
    unsigned id = 0;
    std::string tag, list;
};
std::vector<FeatureRow> ReadFeatureRows(const Configuration& config);

// The version gate's reading: ReadDecimal is the launcher's atol (blanks, a sign, digits up
// to the first other character, modulo 2^32); GateVersion the four parts the gate compares
// for a version text (commas read as dots, the text before each of the first three dots,
// then the rest, each part cut to 16 bits), as "7.0.43.5"; EntryTrouble why an accepted
// entry is not read as written, or "" when the gate reads what it shows; AcceptedEntries the
// entries of a list that the gate reads, each ended by a comma.
bool IsPlainNumber(const std::string& text);
std::uint32_t ReadDecimal(const std::string& text);
std::string GateVersion(std::string text);
std::string EntryTrouble(const std::string& entry);
std::vector<std::string> AcceptedEntries(const std::string& list);

// "402-420, 425" for ascending ids.
std::string Ranges(const std::vector<unsigned>& ids);
// "row 402" or "rows 402-420, 425".
std::string RowList(const std::vector<unsigned>& ids);
// "{8-4-4-4-12 hex digits}"; GuidTrouble says where text is not, "" when it is.
bool IsBracedGuid(const std::string& text);
std::string GuidTrouble(const std::string& text);
bool SameGuid(const std::string& a, const std::string& b);
// A product code as Configuration::products keys it: in capitals.
std::string CodeKey(const std::string& code);
bool IsBlank(char c);

// The properties the installer reads from a command line, or "" when they are the
// intended ones; otherwise says what it sets instead and what it never sees.
std::string MisreadProperties(const std::string& commandLine,
                              const std::vector<std::pair<std::string, std::string>>& intended);
// The value of REBOOT on every configuring call: the installer neither restarts nor asks.
inline const char kNoRestart[] = "ReallySuppress";
// The patch command line with its parts; the title, the GUID and REBOOT end it.
std::vector<std::pair<std::string, std::string>> PatchProperties(const std::string& addLocal,
                                                                 const std::string& reinstall, const std::string& title,
                                                                 const std::string& guid);
std::string CommandLine(const std::vector<std::pair<std::string, std::string>>& properties);

// Collects findings under one resource name.
class Findings {
public:
    Findings(std::vector<Finding>& out, std::string resource) : m_out(out), m_resource(std::move(resource)) {}
    void Error(unsigned row, const std::string& text) { Add(Severity::Error, std::to_string(row), text); }
    void Error(const std::string& text) { Add(Severity::Error, "-", text); }
    void Warning(unsigned row, const std::string& text) { Add(Severity::Warning, std::to_string(row), text); }
    void Warning(const std::string& text) { Add(Severity::Warning, "-", text); }
    void Note(const std::string& text) { Add(Severity::Note, "-", text); }

private:
    void Add(Severity severity, const std::string& row, const std::string& text)
    {
        m_out.push_back({severity, m_resource, row, text});
    }
    std::vector<Finding>& m_out;
    std::string m_resource;
};

// The checks, one family each; CheckConfiguration runs them in this order.
void CheckProducts(const Configuration& config, const Catalogue& catalogue, std::vector<Finding>& out);
void CheckFeatureRows(const Configuration& config, const Catalogue& catalogue, std::vector<Finding>& out);
void CheckProductFeatures(const Configuration& config, const Catalogue& catalogue, std::vector<Finding>& out);
void CheckMessageRows(const Configuration& config, std::vector<Finding>& out);
void CheckDescriptions(const Configuration& config, std::vector<Finding>& out);
void CheckPackage(const Configuration& config, const Catalogue& catalogue, std::vector<Finding>& out);

}  // namespace check
