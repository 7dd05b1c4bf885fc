// Package checks: the embedded patch against the configured patch code, products and accepted versions.
#include "checkutil.h"

#include <set>

namespace check {

namespace {

// Each product a transform applies to must accept the version the transform was made from,
// as the gate reads both; transforms that name the same product and version count once.
void CheckTransformVersions(const PackageSummary& package, const Catalogue& catalogue, std::vector<Finding>& out)
{
    Findings table(out, "STRINGTABLE");
    Findings f(out, std::string(SPLAUNCH_PACKAGE_TYPE) + " " + SPLAUNCH_PACKAGE_NAME);
    std::set<std::string> seen;
    for (const TransformTarget& transform : package.transforms) {
        if (!transform.problem.empty()) {
            f.Warning("the patch's transform \"" + transform.name + "\" cannot be read (" + transform.problem +
                      "): the accepted versions are not checked against it");
            continue;
        }
        const std::string from = GateVersion(transform.oldVersion);
        if (!seen.insert(CodeKey(transform.productCode) + " " + from).second)
            continue;
        for (const Product& product : catalogue.products) {
            if (!product.present[1] || !product.present[5] || !SameGuid(product.code, transform.productCode))
                continue;
            bool accepted = false;
            for (const std::string& entry : AcceptedEntries(product.accepted))
                accepted = accepted || GateVersion(entry) == from;
            if (!accepted)
                table.Error(IDS_PRODUCT_ACCEPTED_VERSIONS + product.position,
                            "the patch's transform \"" + transform.name + "\" applies to version " +
                                transform.oldVersion + " of product " + std::to_string(product.position) + " " +
                                product.code + ", which the accepted versions \"" + product.accepted +
                                "\" do not include: the launcher refuses that version with message " +
                                std::to_string(IDS_WRONG_VERSION) + " and never patches it");
        }
    }
}

}  // namespace

void CheckPackage(const Configuration& config, const Catalogue& catalogue, std::vector<Finding>& out)
{
    Findings f(out, std::string(SPLAUNCH_PACKAGE_TYPE) + " " + SPLAUNCH_PACKAGE_NAME);
    const PackageSummary& package = config.package;
    if (!package.present) {
        f.Error(std::string("the package is missing: the first product a run would patch stops it with code 101") +
                (package.elsewhere.empty() ? "" : " (found instead: " + package.elsewhere + ")"));
        return;
    }
    if (!package.problem.empty()) {
        f.Error(package.problem);
        return;
    }
    // The revision number holds the patch code first, then the codes of patches it replaces.
    const std::string code = package.revision.substr(0, 38);
    const std::string* patchCode = Row(config, IDS_PATCH_GUID);
    if (!IsBracedGuid(code))
        f.Error("the package's revision number \"" + package.revision + "\" does not start with its patch code");
    else if (patchCode != nullptr && !SameGuid(code, *patchCode))
        f.Error("the package's patch code " + code + " differs from the patch code " + *patchCode + " of row " +
                std::to_string(IDS_PATCH_GUID));
    const auto targeted = [&package](const std::string& product) {
        for (const std::string& target : package.targets)
            if (SameGuid(target, product))
                return true;
        return false;
    };
    for (const Product& product : catalogue.products)
        if (product.present[1] && !targeted(product.code))
            f.Error(IDS_PRODUCT_CODES + product.position, "the patch does not target product " +
                                                              std::to_string(product.position) + " " + product.code +
                                                              ": the patch would be applied to nothing for it");
    for (const std::string& target : package.targets) {
        bool configured = false;
        for (const Product& product : catalogue.products)
            configured = configured || (product.present[1] && SameGuid(target, product.code));
        if (!configured)
            f.Warning("the patch targets " + target + ", which no configured product names: the launcher never " +
                      "applies it there");
    }
    CheckTransformVersions(package, catalogue, out);
}

}  // namespace check
