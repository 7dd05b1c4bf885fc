// Feature rows against the products' own databases: each name of a row is a feature of every product reading it.
#include "checkutil.h"

#include <algorithm>
#include <map>
#include <set>

namespace check {

namespace {

// The edits (insert, delete, replace one byte) that turn a into b.
std::size_t EditDistance(const std::string& a, const std::string& b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

// "did you mean "A"?" with the nearest feature names (up to three as near as the nearest).
std::string Nearest(const std::string& name, const std::set<std::string>& features)
{
    std::size_t best = std::string::npos;
    std::vector<std::string> nearest;
    for (const std::string& feature : features) {
        const std::size_t distance = EditDistance(name, feature);
        if (distance < best)
            nearest.clear();
        if (distance <= best) {
            best = distance;
            nearest.push_back(feature);
        }
    }
    std::string text;
    for (std::size_t k = 0; k < nearest.size() && k < 3; ++k)
        text += std::string(k == 0 ? "" : k + 1 == nearest.size() || k == 2 ? " or " : ", ") + "\"" + nearest[k] + "\"";
    return text.empty() ? "it has no features" : "did you mean " + text + "?";
}

std::string FileName(const std::string& path) { return path.substr(path.find_last_of('/') + 1); }

}  // namespace

void CheckProductFeatures(const Configuration& config, const Catalogue& catalogue, std::vector<Finding>& out)
{
    Findings f(out, "STRINGTABLE");
    // The products given a database, by their tag and then by the database.
    struct Readers {
        const ProductFeatures* product = nullptr;
        std::vector<unsigned> positions;
    };
    std::map<std::string, std::map<std::string, Readers>> byTag;
    for (const Product& product : catalogue.products) {
        const auto given = config.products.find(CodeKey(product.code));
        if (!product.present[0] || !product.present[1] || given == config.products.end())
            continue;
        Readers& readers = byTag[product.tag][given->second.msi];
        readers.product = &given->second;
        readers.positions.push_back(product.position);
    }
    const auto who = [](const std::vector<unsigned>& positions) {
        return positions.size() == 1 ? "product " + std::to_string(positions[0]) : "products " + Ranges(positions);
    };
    std::set<std::string> reported;
    for (const auto& [tag, databases] : byTag)
        for (const auto& [msi, readers] : databases)
            if (!readers.product->problem.empty() && reported.insert(msi).second)
                f.Error(IDS_PRODUCT_CODES + readers.positions[0], "the .msi " + msi + " of " + who(readers.positions) +
                                                                      " cannot be read (" + readers.product->problem +
                                                                      "): the feature rows are not checked against it");
    for (const FeatureRow& row : ReadFeatureRows(config)) {
        const auto tag = byTag.find(row.tag);
        if (tag == byTag.end())
            continue;
        for (const std::string& name : SplitAt(row.list, ','))
            for (const auto& [msi, readers] : tag->second) {
                // Empty names, blanks and quotes have their own report (CheckFeatureRows).
                const bool reported = name.empty() || std::any_of(name.begin(), name.end(),
                                                                  [](char c) { return IsBlank(c) || c == '"'; });
                if (reported || !readers.product->problem.empty() || readers.product->features.count(name) != 0)
                    continue;
                f.Error(row.id, "the feature name \"" + name + "\" in row " + std::to_string(row.id) + " \"" +
                                    row.list + "\" is not a feature of " + who(readers.positions) + " (" +
                                    FileName(msi) + " has none of that name; names match byte for byte): " +
                                    Nearest(name, readers.product->features));
            }
    }
}

}  // namespace check
