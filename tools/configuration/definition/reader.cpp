// Reading a launcher definition: every table and key checked against what the launcher can take, with its position.
#include "checkutil.h"
#include "res/resource.h"
#include "res/builtintexts.h"
#include "tomlreader.h"

namespace define {

namespace {

// The message rows a definition may set, by the key that names each, and the shipped
// English text each row has when the definition gives none.
const struct {
    const char* key;
    unsigned id;
    const char* shipped;
} kMessages[] = {
    {"failure", IDS_ERROR_FORMAT, "Error %d: The %s update was not applied"},
    {"success", IDS_SUCCESS, "The %s update has been successfully applied"},
    {"caption", IDS_PRODUCT_UPDATE, "Tessaran Product Update"},
    {"choose_product", IDS_CHOOSE_PRODUCT, "Please choose a product to update."},
    {"ok", IDS_OK, "OK"},
    {"cancel", IDS_CANCEL, "Cancel"},
    {"up_to_date", IDS_UP_TO_DATE, "The installed product is up to date."},
    {"not_installed", IDS_NOT_INSTALLED, "Product is not installed"},
    {"wrong_version", IDS_WRONG_VERSION, "Incorrect product version installed"},
    {"usage", IDS_USAGE, SPLAUNCH_USAGE_TEXT},
    {"restart_question", IDS_RESTART_QUESTION, SPLAUNCH_RESTART_QUESTION},
};

void ReadLauncher(Reader& r, const toml::table& root, Definition& d)
{
    const toml::table* t = r.Table(root, "launcher", true);
    if (t == nullptr)
        return;
    const std::string where = "[launcher]";
    r.OnlyKeys(
        *t, {"file", "company", "product_name", "description", "file_version", "product_version", "copyright", "icon"},
        where);
    const Position at = At(t->source());
    if (r.String(*t, "file", where, true, at, d.file)) {
        const std::string name = d.file;
        const bool exe =
            name.size() > 4 && (name.substr(name.size() - 4) == ".exe" || name.substr(name.size() - 4) == ".EXE");
        if (!exe || name.find_first_of("/\\:*?\"<>|") != std::string::npos)
            r.Error(At(t->get("file")->source()), "[launcher] file \"" + name + "\" is not a file name ending in .exe");
    }
    r.String(*t, "company", where, true, at, d.company);
    r.String(*t, "product_name", where, true, at, d.productName);
    r.String(*t, "description", where, true, at, d.description);
    if (r.String(*t, "file_version", where, true, at, d.fileVersion))
        r.Version(*t->get("file_version"), "[launcher] file_version", d.fileVersion);
    if (r.String(*t, "product_version", where, true, at, d.productVersion))
        r.Version(*t->get("product_version"), "[launcher] product_version", d.productVersion);
    r.String(*t, "copyright", where, false, at, d.copyright);
    r.Path(*t, "icon", where, d.icon);
}

void ReadPatch(Reader& r, const toml::table& root, Definition& d)
{
    const toml::table* t = r.Table(root, "patch", false);
    if (t == nullptr)
        return;
    r.OnlyKeys(*t, {"package", "guid"}, "[patch]");
    d.packageAt = At(t->source());
    r.Path(*t, "package", "[patch]", d.package, &d.packageAt);
    if (r.String(*t, "guid", "[patch]", false, {}, d.guid))
        if (const std::string trouble = check::GuidTrouble(d.guid); !trouble.empty())
            r.Error(At(t->get("guid")->source()), "[patch] guid \"" + d.guid + "\" is not a braced GUID: " + trouble);
}

void ReadCopy(Reader& r, const toml::table& t, std::size_t index, Definition& d)
{
    const std::string where = "description copy " + std::to_string(index + 1);
    r.OnlyKeys(t, {"language", "lines"}, "[[description.copy]]");
    DescriptionCopy copy;
    const toml::node* language = t.get("language");
    if (language == nullptr)
        r.Error(At(t.source()), where + " has no \"language\"");
    else if (!language->is_integer() || language->as_integer()->get() < 0 || language->as_integer()->get() > 0xFFFF)
        r.Error(At(language->source()), where + " language must be a language id from 0 to 65535 (0 is neutral)");
    else
        copy.language = static_cast<unsigned>(language->as_integer()->get());
    for (const DescriptionCopy& other : d.copies)
        if (language != nullptr && other.language == copy.language)
            r.Error(At(language->source()), where + " repeats language " + std::to_string(copy.language));
    const toml::node* lines = t.get("lines");
    if (lines == nullptr || !lines->is_array()) {
        r.Error(lines == nullptr ? At(t.source()) : At(lines->source()), where + " lines must be an array of strings");
        return;
    }
    for (const toml::node& node : *lines->as_array()) {
        if (!node.is_string()) {
            r.Error(At(node.source()), where + ": a line must be a string, not " + TypeName(node.type()));
            continue;
        }
        const std::string& line = node.as_string()->get();
        if (line.find_first_of(std::string("\r\n\0", 3)) != std::string::npos)
            r.Error(At(node.source()), where + ": a line holds a CR, LF or NUL: every line ends with CR LF by itself");
        else if (!line.empty() && line.find('=') == std::string::npos && line != kTitleKey && line != kGuidKey)
            r.Error(At(node.source()),
                    where + ": the line \"" + line +
                        "\" has no '=', and the launcher stops "
                        "reading at such a line (only \"PatchTitle\" and \"PatchGUID\" stand alone)");
        r.Latin1(node, where, line);
        copy.lines.push_back(line);
    }
    d.copies.push_back(copy);
}

void ReadDescription(Reader& r, const toml::table& root, Definition& d)
{
    const toml::table* t = r.Table(root, "description", true);
    if (t == nullptr)
        return;
    r.OnlyKeys(*t, {"title", "copy"}, "[description]");
    if (r.String(*t, "title", "[description]", true, At(t->source()), d.title))
        r.Latin1(*t->get("title"), "[description] title", d.title);
    const toml::node* copies = t->get("copy");
    if (copies == nullptr) {
        d.copies.push_back({0, {kTitleKey, kGuidKey}});
        return;
    }
    if (!copies->is_array_of_tables()) {
        r.Error(At(copies->source()), "description.copy must be tables: [[description.copy]]");
        return;
    }
    for (const toml::node& copy : *copies->as_array())
        ReadCopy(r, *copy.as_table(), d.copies.size(), d);
}

void ReadMessages(Reader& r, const toml::table& root, Definition& d)
{
    for (const auto& message : kMessages)
        d.messages[message.id] = message.shipped;
    const toml::table* t = r.Table(root, "messages", false);
    if (t == nullptr)
        return;
    for (auto&& [key, node] : *t) {
        unsigned id = 0;
        for (const auto& message : kMessages)
            id = key.str() == message.key ? message.id : id;
        std::string text;
        if (id == 0)
            r.Error(At(key.source()), "unknown key \"" + std::string(key.str()) + "\" in [messages]");
        else if (r.String(*t, std::string(key.str()).c_str(), "[messages]", true, {}, text))
            d.messages[id] = text;
    }
}

void ReadSigning(Reader& r, const toml::table& root, Definition& d)
{
    const toml::table* t = r.Table(root, "signing", false);
    if (t == nullptr)
        return;
    r.OnlyKeys(*t, {"program", "url"}, "[signing]");
    r.String(*t, "program", "[signing]", false, {}, d.signingProgram);
    r.String(*t, "url", "[signing]", false, {}, d.signingUrl);
}

}  // namespace

Definition ReadDefinition(const std::string& text, const std::string& folder, std::vector<Diagnostic>& errors)
{
    Definition d;
    toml::table root;
    try {
        root = toml::parse(text);
    } catch (const toml::parse_error& e) {
        errors.push_back({At(e.source()), std::string(e.description())});
        return d;
    }
    Reader r(folder, errors);
    r.OnlyKeys(root,
               {"launcher", "patch", "description", "messages", "product_defaults", "product", "features", "signing"},
               "the definition");
    ReadLauncher(r, root, d);
    ReadPatch(r, root, d);
    ReadDescription(r, root, d);
    ReadMessages(r, root, d);
    ReadProducts(r, root, d);
    ReadFeatures(r, root, d);
    ReadSigning(r, root, d);
    return d;
}

}  // namespace define
