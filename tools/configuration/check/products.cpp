// Product checks: the six bands as the catalogue reads them, product codes, languages and the version gate's lists.
#include "checkutil.h"

#include <cctype>
#include <cstdint>
#include <map>

namespace check {

namespace {

void CheckAcceptedVersions(Findings& f, const Product& product)
{
    const unsigned row = IDS_PRODUCT_ACCEPTED_VERSIONS + product.position;
    const std::string& list = product.accepted;
    const std::string who = "product " + std::to_string(product.position);
    std::size_t start = 0;
    int entries = 0;
    for (std::size_t comma; (comma = list.find(',', start)) != std::string::npos; start = comma + 1) {
        const std::string entry = list.substr(start, comma - start);
        ++entries;
        if (entry.empty())
            f.Error(row, "entry " + std::to_string(entries) + " of the accepted versions \"" + list +
                             "\" is empty: the gate compares it as 0.0.0.0");
        else if (const std::string trouble = EntryTrouble(entry); !trouble.empty())
            f.Error(row, "the gate reads the accepted version \"" + entry + "\" of " + who + " as " +
                             GateVersion(entry) + ": " + trouble);
    }
    std::string rest = list.substr(start);
    bool blank = true;
    for (char c : rest)
        blank = blank && IsBlank(c);
    if (entries == 0)
        f.Error(row, "the accepted versions \"" + list + "\" have no comma, and the gate only reads entries that end " +
                         "with one: " + who + " accepts no version and is never patched");
    else if (!blank)
        f.Error(row, "the last accepted version \"" + rest + "\" of " + who +
                         " has no comma after it: the gate never reads it");
}

void CheckLanguage(Findings& f, const Product& product)
{
    const char* trouble = "is not a plain decimal number";
    if (IsPlainNumber(product.language)) {
        std::uint64_t value = 0;
        for (std::size_t k = 0; k < product.language.size() && value <= 0xFFFFFFFFu; ++k)
            value = value * 10u + static_cast<std::uint64_t>(product.language[k] - '0');
        if (value <= 0xFFFFFFFFu)
            return;
        trouble = "is over 4294967295";
    }
    f.Error(IDS_PRODUCT_LANGUAGES + product.position,
            "language \"" + product.language + "\" of product " + std::to_string(product.position) + " " + trouble +
                ": the launcher sets the thread locale to " + std::to_string(ReadDecimal(product.language)));
}

// Rows of band positions first..last (own rows of each band only), for the bands given.
std::vector<unsigned> PresentRows(const Configuration& config, const std::vector<unsigned>& bands, unsigned first,
                                  unsigned last)
{
    std::vector<unsigned> ids;
    for (unsigned band : bands)
        for (unsigned i = first; i <= last && i < kBandWidth; ++i)
            if (Row(config, band + i) != nullptr)
                ids.push_back(band + i);
    return ids;
}

// Where the catalogue stops while rows follow, those rows are never read.
void CheckCatalogueEnd(Findings& f, const Configuration& config, const Catalogue& catalogue)
{
    const unsigned n = catalogue.end;
    const std::vector<unsigned> all(std::begin(kProductBands), std::end(kProductBands));
    unsigned last = n;
    bool follows = false;
    for (unsigned i = n; i < kBandWidth; ++i)
        if (!PresentRows(config, all, i, i).empty()) {
            last = i;
            follows = true;
        }
    if (!follows)
        return;
    if (!PresentRows(config, all, n, n).empty()) {
        // Part of product n is there: each of its absent rows ends the catalogue.
        const std::vector<unsigned> names = PresentRows(config, {IDS_PRODUCT_NAMES}, n, last);
        const std::string products = n == last ? "product " + std::to_string(n)
                                               : "products " + std::to_string(n) + " to " + std::to_string(last);
        const std::string rows = names.empty() ? "" : " (" + RowList(names) + ")";
        for (unsigned band : kProductBands)
            if (Row(config, band + n) == nullptr)
                f.Error(band + n, "row " + std::to_string(band + n) + " is " + AbsenceOf(config, band + n) + ": " +
                                      products + rows + " will never be offered");
        return;
    }
    f.Error(IDS_PRODUCT_NAMES + n,
            "product " + std::to_string(n) + " has no rows (" + std::to_string(IDS_PRODUCT_NAMES + n) + " to " +
                std::to_string(IDS_PRODUCT_ACCEPTED_VERSIONS + n) + " are all missing), so the catalogue ends there: " +
                RowList(PresentRows(config, all, n + 1, last)) + " will never be read");
}

}  // namespace

void CheckProducts(const Configuration& config, const Catalogue& catalogue, std::vector<Finding>& out)
{
    Findings f(out, "STRINGTABLE");
    if (config.stringTableLanguages.size() > 1) {
        std::string languages;
        for (std::uint16_t language : config.stringTableLanguages)
            languages += (languages.empty() ? "" : ", ") + std::to_string(language);
        f.Warning("the string table exists in languages " + languages +
                  ": the launcher reads the copy of the user's language, and only the first of each block is checked");
    }
    CheckCatalogueEnd(f, config, catalogue);
    // Rows past the catalogue's end are checked too: they count once the gap is closed.
    std::map<std::string, unsigned> codes;
    for (const Product& product : catalogue.products) {
        const unsigned i = product.position;
        const std::string who = "product " + std::to_string(i);
        if (const std::string trouble = GuidTrouble(product.code); product.present[1] && !trouble.empty())
            f.Error(IDS_PRODUCT_CODES + i, "product code \"" + product.code + "\" of " + who +
                                               " is not a braced GUID (" + trouble +
                                               "): the installer will never report it installed");
        for (int b = 1; b < 6 && product.present[0]; ++b) {
            std::string tag;
            std::string value;
            const unsigned id = kProductBands[b] + i;
            if (product.present[b])
                SplitRow(*Row(config, id), tag, value);
            if (product.present[b] && tag != product.tag)
                f.Warning(id, "row " + std::to_string(id) + " has the tag \"" + tag + "\" where " + who +
                                  "'s name row " + std::to_string(IDS_PRODUCT_NAMES + i) + " has \"" + product.tag +
                                  "\": only the name row's tag counts");
        }
        if (product.present[2])
            CheckLanguage(f, product);
        if (product.present[5])
            CheckAcceptedVersions(f, product);
        if (!product.present[1])
            continue;
        const auto seen = codes.emplace(CodeKey(product.code), i);
        if (!seen.second)
            f.Error(IDS_PRODUCT_CODES + i, who + " has the same code " + product.code + " as product " +
                                               std::to_string(seen.first->second) + " (row " +
                                               std::to_string(IDS_PRODUCT_CODES + seen.first->second) +
                                               "): that product would take two turns and be patched twice");
    }
}

}  // namespace check
