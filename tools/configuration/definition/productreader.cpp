// Reading a definition's products ([product_defaults], [[product]]) and feature rows ([features.<tag>]).
#include <algorithm>

#include "checkutil.h"
#include "res/resource.h"
#include "tomlreader.h"

namespace define {

namespace {

// A product's keys, which [product_defaults] may give for every product.
const std::initializer_list<const char*> kProductKeys = {
    "name", "code", "language", "target_version", "host_key", "accepted_versions", "tag", "msi"};

// The string-table bands are this wide: at most this many products.
const std::size_t kMaxProducts = IDS_PRODUCT_CODES - IDS_PRODUCT_NAMES;

// Where a product's key comes from: its own table, else [product_defaults], named for reports.
struct KeySource {
    const toml::table* table;
    std::string where;
};
KeySource Source(const toml::table& own, const toml::table* defaults, const char* key, const std::string& product)
{
    if (own.get(key) != nullptr || defaults == nullptr || defaults->get(key) == nullptr)
        return {&own, product};
    return {defaults, "[product_defaults]"};
}

void ReadProduct(Reader& r, const toml::table& t, const toml::table* defaults, Definition& d)
{
    Product p;
    p.at = At(t.source());
    const std::string product = "product " + std::to_string(d.products.size());
    r.OnlyKeys(t, kProductKeys, "[[product]]");
    const char* ends = "the catalogue would end before this product";
    for (auto [key, out] : {std::make_pair("name", &p.name), std::make_pair("target_version", &p.targetVersion),
                            std::make_pair("host_key", &p.hostKey)}) {
        const KeySource s = Source(t, defaults, key, product);
        r.NonEmpty(*s.table, key, s.where, p.at, *out, ends);
    }
    KeySource s = Source(t, defaults, "code", product);
    if (r.String(*s.table, "code", s.where, true, p.at, p.code))
        if (const std::string trouble = check::GuidTrouble(p.code); !trouble.empty())
            r.Error(At(s.table->get("code")->source()),
                    s.where + " code \"" + p.code + "\" is not a braced GUID: " + trouble);
    s = Source(t, defaults, "tag", product);
    if (r.String(*s.table, "tag", s.where, true, p.at, p.tag) && p.tag.find(':') != std::string::npos)
        r.Error(At(s.table->get("tag")->source()),
                s.where + " tag \"" + p.tag + "\" holds a ':', which ends a row's tag");
    s = Source(t, defaults, "language", product);
    const toml::node* language = s.table->get("language");
    if (language == nullptr)
        r.Error(p.at, product + " has no \"language\"");
    else if (!language->is_integer() || language->as_integer()->get() < 0 ||
             language->as_integer()->get() > 0xFFFFFFFFLL)
        r.Error(At(language->source()), s.where + " language must be a locale id, a number such as 1033");
    else
        p.language = std::to_string(language->as_integer()->get());
    s = Source(t, defaults, "accepted_versions", product);
    const toml::node* accepted = s.table->get("accepted_versions");
    if (accepted == nullptr || !accepted->is_array() || accepted->as_array()->empty()) {
        r.Error(accepted == nullptr ? p.at : At(accepted->source()),
                s.where + " accepted_versions must be a list of versions, such as [\"5.0.12.0\"]: without one the "
                          "launcher patches no version");
    } else {
        for (const toml::node& version : *accepted->as_array()) {
            if (!version.is_string()) {
                r.Error(At(version.source()),
                        s.where + ": an accepted version must be a string, not " + TypeName(version.type()));
                continue;
            }
            p.accepted.push_back(version.as_string()->get());
            r.Version(version, s.where + ": the accepted version", p.accepted.back());
        }
    }
    s = Source(t, defaults, "msi", product);
    r.Path(*s.table, "msi", s.where, p.msi);
    d.products.push_back(p);
}

}  // namespace

void ReadProducts(Reader& r, const toml::table& root, Definition& d)
{
    const toml::table* defaults = r.Table(root, "product_defaults", false);
    if (defaults != nullptr)
        r.OnlyKeys(*defaults, kProductKeys, "[product_defaults]");
    const toml::node* products = root.get("product");
    if (products == nullptr || !products->is_array_of_tables()) {
        r.Error(products == nullptr ? Position{1, 1} : At(products->source()),
                "the definition has no [[product]] table: a launcher needs at least one product");
        return;
    }
    for (const toml::node& product : *products->as_array()) {
        if (d.products.size() == kMaxProducts) {
            r.Error(At(product.source()), "more than " + std::to_string(kMaxProducts) +
                                              " products: each product band of the string table holds that many");
            return;
        }
        ReadProduct(r, *product.as_table(), defaults, d);
    }
}

void ReadFeatures(Reader& r, const toml::table& root, Definition& d)
{
    const toml::table* t = r.Table(root, "features", false);
    if (t == nullptr)
        return;
    // The tags in the order the definition gives them, not the table's own order.
    std::vector<std::pair<const toml::key*, const toml::node*>> tags;
    for (auto&& [key, node] : *t)
        tags.emplace_back(&key, &node);
    std::sort(tags.begin(), tags.end(),
              [](const auto& a, const auto& b) { return a.first->source().begin < b.first->source().begin; });
    for (const auto& [key, node] : tags) {
        FeatureRows rows;
        rows.tag = std::string(key->str());
        const std::string where = "[features." + rows.tag + "]";
        if (rows.tag.find(':') != std::string::npos)
            r.Error(At(key->source()), where + ": the tag holds a ':', which ends a row's tag");
        if (!node->is_table()) {
            r.Error(At(node->source()), where + " must be a table of the bands first and second");
            continue;
        }
        const toml::table& bands = *node->as_table();
        r.OnlyKeys(bands, {"first", "second"}, where);
        for (auto [band, out] : {std::make_pair("first", &rows.first), std::make_pair("second", &rows.second)}) {
            const toml::node* list = bands.get(band);
            if (list == nullptr)
                continue;
            if (!list->is_array()) {
                r.Error(At(list->source()), where + " " + band + " must be an array of feature rows");
                continue;
            }
            for (const toml::node& row : *list->as_array()) {
                if (!row.is_string() || row.as_string()->get().empty())
                    r.Error(At(row.source()), where + " " + band +
                                                  ": a feature row must be a string such as "
                                                  "\"name,container,top\"; an empty one would end the band");
                else
                    out->push_back(row.as_string()->get());
            }
        }
        d.features.push_back(rows);
    }
    // Each band's rows must fit between its first id and the next band or the last id.
    std::size_t first = 0;
    std::size_t second = 0;
    for (const FeatureRows& rows : d.features) {
        first += rows.first.size();
        second += rows.second.size();
    }
    const std::pair<std::size_t, unsigned> limits[] = {{first, IDS_LAST_ROW + 1 - IDS_FEATURES_FIRST_BAND},
                                                       {second, IDS_FEATURES_FIRST_BAND - IDS_FEATURES_SECOND_BAND}};
    for (const auto& [count, room] : limits)
        if (count > room)
            r.Error(At(t->source()),
                    std::to_string(count) + " feature rows in one band: it has room for " + std::to_string(room));
}

}  // namespace define
