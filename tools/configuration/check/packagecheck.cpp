// Package checks: the embedded patch against the configured patch code and products.
#include "checkutil.h"

namespace check {

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
}

}  // namespace check
