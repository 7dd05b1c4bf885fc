// splaunch-define: turns a launcher definition (TOML) into the resource script and the files a launcher build needs.
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <iostream>
#include <set>

#include "checkutil.h"
#include "files.h"
#include "package.h"
#include "script.h"

namespace {

const int kDefinitionErrors = 1;
const int kCannotRun = 2;

int Usage()
{
    std::cerr << "usage: splaunch-define --resources DIR --out DIR [--package FILE] definition.toml\n"
                 "  --resources  the launcher's res/ folder: resource.h, the manifest, the shipped icon\n"
                 "  --out        the folder that receives splaunch.rc and the files beside it\n"
                 "  --package    the build's package, embedded instead of the definition's by its name\n"
                 "               on windres's include path\n";
    return kCannotRun;
}

// FALSE, reported, when the file cannot be written whole.
bool WriteWholeFile(const std::string& path, const std::string& bytes)
{
    std::FILE* file = std::fopen(path.c_str(), "wb");
    bool ok = file != nullptr && std::fwrite(bytes.data(), 1, bytes.size(), file) == bytes.size();
    ok = file != nullptr && std::fclose(file) == 0 && ok;
    if (!ok)
        std::cerr << "splaunch-define: " << path << ": cannot be written: " << std::strerror(errno) << "\n";
    return ok;
}

// A CMake string: quoted, with its backslashes, quotes and dollars escaped.
std::string CMakeString(const std::string& text)
{
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '\\' || c == '"' || c == '$' ? std::string("\\") + c : std::string(1, c);
    return quoted + "\"";
}

// A path in a make rule, its blanks escaped.
std::string MakePath(const std::string& path)
{
    std::string escaped;
    for (char c : path)
        escaped += c == ' ' ? std::string("\\ ") : std::string(1, c);
    return escaped;
}

// The patch code at the start of the package's revision number; "" with 'problem' set when there is none.
std::string PackageGuid(const std::string& path, std::string& problem)
{
    std::string bytes;
    if (!check::ReadWholeFile(path, bytes)) {
        problem = std::string("it cannot be read: ") + std::strerror(errno);
        return "";
    }
    const check::PackageSummary summary = check::ReadPackage(bytes);
    const std::string guid = summary.revision.substr(0, 38);
    problem = !summary.problem.empty()    ? summary.problem
              : check::IsBracedGuid(guid) ? ""
                                          : "its revision number \"" + summary.revision + "\" does not start with one";
    return problem.empty() ? guid : "";
}

}  // namespace

int main(int argc, char** argv)
{
    std::string resources;
    std::string out;
    std::string buildPackage;
    std::string path;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        std::string* value = arg == "--resources" ? &resources
                             : arg == "--out"     ? &out
                             : arg == "--package" ? &buildPackage
                                                  : nullptr;
        if (value != nullptr && i + 1 < argc)
            *value = argv[++i];
        else if (value != nullptr || arg.empty() || arg[0] == '-' || !path.empty())
            return Usage();
        else
            path = arg;
    }
    if (path.empty() || resources.empty() || out.empty())
        return Usage();

    std::string text;
    if (!check::ReadWholeFile(path, text)) {
        std::cerr << "splaunch-define: " << path << ": cannot be read: " << std::strerror(errno) << "\n";
        return kCannotRun;
    }
    std::vector<define::Diagnostic> errors;
    const std::string folder = std::filesystem::absolute(path).parent_path().string();
    define::Definition d = define::ReadDefinition(text, folder, errors);
    const std::string package = buildPackage.empty() ? d.package : buildPackage;
    if (errors.empty() && package.empty())
        errors.push_back({d.packageAt.line != 0 ? d.packageAt : define::Position{1, 1},
                          "[patch] names no package, and the build gives none"});
    std::string guid = d.guid;
    if (errors.empty() && guid.empty()) {
        std::string problem;
        guid = PackageGuid(package, problem);
        if (!problem.empty())
            errors.push_back({d.packageAt.line != 0 ? d.packageAt : define::Position{1, 1},
                              "[patch] gives no guid, and the package " + package + " names none: " + problem});
    }
    std::stable_sort(errors.begin(), errors.end(), [](const define::Diagnostic& a, const define::Diagnostic& b) {
        return a.at.line < b.at.line || (a.at.line == b.at.line && a.at.column < b.at.column);
    });
    for (const define::Diagnostic& error : errors)
        std::cerr << path << ":" << error.at.line << ":" << error.at.column << ": error: " << error.text << "\n";
    if (!errors.empty())
        return kDefinitionErrors;

    const define::LauncherTexts texts = define::MakeTexts(d, guid);
    define::ScriptFiles files;
    files.definition = std::filesystem::absolute(path).lexically_normal().string();
    files.resourceHeader = resources + "/resource.h";
    files.manifest = resources + "/splaunch.manifest";
    files.icon = d.icon.empty() ? resources + "/splaunch.ico" : d.icon;
    files.package = buildPackage.empty() ? d.package : std::filesystem::path(buildPackage).filename().string();
    bool ok = true;
    for (const auto& [language, bytes] : texts.descriptions) {
        files.descriptions[language] = define::DescriptionFileName(language);
        ok = WriteWholeFile(out + "/" + files.descriptions[language], bytes) && ok;
    }
    std::string products;
    for (const define::Product& product : d.products)
        if (!product.msi.empty())
            products += product.code + "=" + product.msi + "\n";
    // What the rest of the build takes from the definition: the file's name and its signature.
    const std::string launcher = "set(SPLAUNCH_LAUNCHER_FILE " + CMakeString(d.file) + ")\nset(SPLAUNCH_SIGN_PROGRAM " +
                                 CMakeString(d.signingProgram) + ")\nset(SPLAUNCH_SIGN_URL " +
                                 CMakeString(d.signingUrl) + ")\n";
    // The script is made anew whenever a file it embeds changes, so that windres runs again.
    const std::string script = out + "/splaunch.rc";
    std::set<std::string> inputs = {files.definition, d.package, d.icon};
    for (const define::Product& product : d.products)
        inputs.insert(product.msi);
    std::string depends = MakePath(script) + ":";
    for (const std::string& input : inputs)
        depends += input.empty() ? "" : " " + MakePath(input);
    ok = WriteWholeFile(out + "/products.txt", products) && ok;
    ok = WriteWholeFile(out + "/launcher.cmake", launcher) && ok;
    ok = WriteWholeFile(script, define::ResourceScript(d, texts, files)) && ok;
    ok = WriteWholeFile(script + ".d", depends + "\n") && ok;
    return ok ? 0 : kCannotRun;
}
