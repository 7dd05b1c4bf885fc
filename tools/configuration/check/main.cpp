// splaunch-check: reports what the launcher would do wrong with the configuration in a compiled .res file.
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <iostream>
#include <map>
#include <stdexcept>

#include "checkutil.h"
#include "files.h"
#include "package.h"
#include "resfile.h"

namespace {

const int kCannotRead = 2;

int Usage()
{
    std::cerr << "usage: splaunch-check [--warn-only] [--product {CODE}=product.msi]... [--products FILE] config.res\n"
                 "  --product   the product's installer database, whose features its feature rows must name\n"
                 "  --products  a file of such {CODE}=product.msi lines\n";
    return kCannotRead;
}

std::string Count(std::size_t count, const char* one, const char* many)
{
    return std::to_string(count) + " " + (count == 1 ? one : many);
}

}  // namespace

// Takes "{CODE}=product.msi" into 'products'; FALSE when it is not of that form.
bool AddProduct(const std::string& given, std::map<std::string, std::string>& products)
{
    const std::size_t equals = given.find('=');
    if (equals == std::string::npos || equals == 0 || equals + 1 == given.size())
        return false;
    products[check::CodeKey(given.substr(0, equals))] = given.substr(equals + 1);
    return true;
}

// Reads each product's database once, however many products share it.
void ReadProducts(const std::map<std::string, std::string>& given, check::Configuration& config)
{
    std::map<std::string, check::ProductFeatures> read;
    for (const auto& [code, msi] : given) {
        if (read.count(msi) == 0)
            read[msi] = check::ReadProductFeatures(msi);
        config.products[code] = read[msi];
    }
}

int main(int argc, char** argv)
{
    bool warnOnly = false;
    std::string path;
    std::map<std::string, std::string> productFiles;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        const bool hasValue = i + 1 < argc;
        if (arg == "--warn-only") {
            warnOnly = true;
        } else if (arg == "--product" && hasValue) {
            if (!AddProduct(argv[++i], productFiles))
                return Usage();
        } else if (arg == "--products" && hasValue) {
            std::string lines;
            if (!check::ReadWholeFile(argv[++i], lines)) {
                std::cerr << "splaunch-check: " << argv[i] << ": cannot be read: " << std::strerror(errno) << "\n";
                return kCannotRead;
            }
            for (const std::string& line : check::SplitAt(lines, '\n'))
                if (!line.empty() && !AddProduct(line, productFiles))
                    return Usage();
        } else if (arg.empty() || arg[0] == '-' || !path.empty()) {
            return Usage();
        } else {
            path = arg;
        }
    }
    if (path.empty())
        return Usage();

    std::string bytes;
    if (!check::ReadWholeFile(path, bytes)) {
        std::cerr << "splaunch-check: " << path << ": cannot be read: " << std::strerror(errno) << "\n";
        return kCannotRead;
    }
    check::ResourceFile file;
    try {
        file = check::ReadResourceFile(bytes);
    } catch (const std::runtime_error& e) {
        std::cerr << "splaunch-check: " << path << ": not a resource file: " << e.what() << "\n";
        return kCannotRead;
    }
    check::Configuration& config = file.config;
    if (config.package.present)
        config.package = check::ReadPackage(file.package);
    ReadProducts(productFiles, config);

    const std::vector<check::Finding> findings = check::CheckConfiguration(config);
    for (const std::string& line : check::FormatFindings(findings, warnOnly))
        std::cout << line << "\n";
    std::size_t errors = 0;
    std::size_t warnings = 0;
    for (const check::Finding& finding : findings) {
        errors += finding.severity == check::Severity::Error ? 1 : 0;
        warnings += finding.severity == check::Severity::Warning ? 1 : 0;
    }
    const check::Catalogue catalogue = check::ReadCatalogue(config);
    const std::size_t products = catalogue.products.size();
    std::size_t read = 0;
    for (const check::Product& product : catalogue.products)
        read += product.position < catalogue.end ? 1 : 0;
    const check::PackageSummary& package = config.package;
    std::cout << path << ": " << Count(warnOnly ? 0 : errors, "error", "errors") << ", "
              << Count(warnOnly ? errors + warnings : warnings, "warning", "warnings")
              << (warnOnly && errors > 0 ? " (" + Count(errors, "error", "errors") + " among them, by --warn-only)"
                                         : "")
              << "; " << (read == products ? "" : std::to_string(read) + " of ")
              << Count(products, "product", "products") << (read == products ? "" : " read") << ", "
              << Count(config.descriptions.size(), "description copy", "description copies") << ", "
              << (package.present && package.problem.empty()
                      ? "a patch for " + Count(package.targets.size(), "product", "products")
                      : std::string("no readable patch"))
              << "\n";
    return errors > 0 && !warnOnly ? 1 : 0;
}
