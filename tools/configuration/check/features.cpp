// Feature-row checks (what the selection reads and how) and the rows a failure code would show as its message.
#include "checkutil.h"

#include <set>

namespace check {

namespace {

// Where each band's rows may live: the second band below the first band's first id.
struct FeatureBand {
    unsigned first;
    unsigned limit;
    const char* name;
};
const FeatureBand kFeatureBands[] = {{IDS_FEATURES_SECOND_BAND, IDS_FEATURES_FIRST_BAND - 1, "second"},
                                     {IDS_FEATURES_FIRST_BAND, IDS_LAST_ROW, "first"}};

// Installer results that reach the message box: every failure; a cancel (1602), a
// started restart (1641) and a needed one (3010) show nothing.
bool IsShownInstallerCode(unsigned id) { return (id >= 1601 && id <= 1665 && id != 1602 && id != 1641) || id == 3011; }

// The ids a band reads: from its first up to the first absent row.
unsigned BandEnd(const Configuration& config, const FeatureBand& band)
{
    unsigned id = band.first;
    while (id <= IDS_LAST_ROW && Row(config, id) != nullptr)
        ++id;
    return id;
}

std::string Trimmed(const std::string& text)
{
    std::size_t begin = 0;
    std::size_t end = text.size();
    while (begin < end && IsBlank(text[begin]))
        ++begin;
    while (end > begin && IsBlank(text[end - 1]))
        --end;
    return text.substr(begin, end - begin);
}

void CheckNames(Findings& f, unsigned id, const std::string& list, bool firstBand)
{
    const std::vector<std::string> names = SplitAt(list, ',');
    for (std::size_t k = 0; k < names.size(); ++k) {
        const std::string& name = names[k];
        const std::string entry =
            "entry " + std::to_string(k + 1) + (k + 1 == names.size() && k > 0 ? ", after the last comma" : "");
        if (name.empty()) {
            f.Error(id, "the feature list \"" + list + "\" has an empty name (" + entry +
                            "): the selection asks the installer about a feature with no name");
            continue;
        }
        if (name.find('"') != std::string::npos) {
            // A row's first name goes into the patch command line, every name into a later removal.
            std::vector<std::pair<std::string, std::string>> intended =
                k == 0 ? PatchProperties(firstBand ? "<features>" : "", name + ",", "<title>", "<guid>")
                       : std::vector<std::pair<std::string, std::string>>{{"REMOVE", name}};
            const std::string line = CommandLine(intended);
            f.Error(id, "the feature name \"" + name + "\" holds a double quote, which ends its list early: " +
                            (k == 0 ? "the patch command line" : "a removal after the patch") + " reads " + line +
                            ", so the installer " + MisreadProperties(line, intended));
            continue;
        }
        for (char c : name)
            if (IsBlank(c)) {
                f.Error(id, "the feature name \"" + name + "\" in \"" + list +
                                "\" holds a blank, which the selection keeps as part of the name: the installer "
                                "knows no such feature");
                break;
            }
    }
}

}  // namespace

std::vector<FeatureRow> ReadFeatureRows(const Configuration& config)
{
    std::vector<FeatureRow> rows;
    for (int b = 1; b >= 0; --b)
        for (unsigned id = kFeatureBands[b].first, end = BandEnd(config, kFeatureBands[b]); id < end; ++id) {
            FeatureRow row;
            row.id = id;
            SplitRow(*Row(config, id), row.tag, row.list);
            rows.push_back(row);
        }
    return rows;
}

void CheckFeatureRows(const Configuration& config, const Catalogue& catalogue, std::vector<Finding>& out)
{
    Findings f(out, "STRINGTABLE");
    std::set<std::string> tags;
    for (const Product& product : catalogue.products)
        if (product.present[0])
            tags.insert(product.tag);
    std::set<unsigned> read;
    for (const FeatureRow& row : ReadFeatureRows(config)) {
        read.insert(row.id);
        if (tags.count(row.tag) == 0 && tags.count(Trimmed(row.tag)) != 0)
            f.Error(row.id, "the tag \"" + row.tag + "\" of row " + std::to_string(row.id) +
                                " holds a blank, so no product has it: the row is read but does nothing");
        else if (tags.count(row.tag) == 0)
            f.Warning(row.id, "no product has the tag \"" + row.tag + "\" of row " + std::to_string(row.id) +
                                  ": the row is read but does nothing");
        CheckNames(f, row.id, row.list, row.id >= IDS_FEATURES_FIRST_BAND);
    }
    for (const FeatureBand& band : kFeatureBands) {
        const unsigned end = BandEnd(config, band);
        std::vector<unsigned> unread;
        for (auto it = config.rows.upper_bound(end); it != config.rows.end() && it->first <= band.limit; ++it)
            if (!it->second.empty() && read.count(it->first) == 0 && !IsShownInstallerCode(it->first))
                unread.push_back(it->first);
        if (!unread.empty())
            f.Error(end, "row " + std::to_string(end) + " is " + AbsenceOf(config, end) + ", so the " + band.name +
                             " feature band (from row " + std::to_string(band.first) +
                             ") ends there: " + RowList(unread) + " will never be read");
    }
}

void CheckMessageRows(const Configuration& config, std::vector<Finding>& out)
{
    Findings f(out, "STRINGTABLE");
    if (Row(config, IDS_ERROR_FORMAT) == nullptr)
        f.Warning(IDS_ERROR_FORMAT, "row " + std::to_string(IDS_ERROR_FORMAT) + " (the failure format) is " +
                                        AbsenceOf(config, IDS_ERROR_FORMAT) + ": no failure is ever shown");
    if (Row(config, IDS_SUCCESS) == nullptr)
        f.Warning(IDS_SUCCESS, "row " + std::to_string(IDS_SUCCESS) + " (the success message) is " +
                                   AbsenceOf(config, IDS_SUCCESS) + ": a patched product shows nothing");
    std::set<unsigned> featureRows;
    for (const FeatureBand& band : kFeatureBands)
        for (unsigned id = band.first, end = BandEnd(config, band); id < end; ++id)
            featureRows.insert(id);
    for (const auto& row : config.rows) {
        if (row.second.empty() || !IsShownInstallerCode(row.first))
            continue;
        const std::string id = std::to_string(row.first);
        f.Warning(row.first, "row " + id +
                                 (featureRows.count(row.first) != 0 ? " is a feature row, but it is" : " is") +
                                 " what a patch that fails with installer code " + id + " shows as its message: \"" +
                                 row.second + "\"");
    }
}

}  // namespace check
