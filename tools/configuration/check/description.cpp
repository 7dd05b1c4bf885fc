// Description checks: each language copy read as the launcher reads it, its patch identity and its quoting.
#include "checkutil.h"

#include <map>

namespace check {

namespace {

// The description's keys for the patch identity, and the properties they become.
const std::pair<const char*, const char*> kIdentityKeys[] = {{"PatchTitle", "PATCHTITLE"}, {"PatchGUID", "PATCHGUID"}};

// What the launcher takes from a description: values up to where it stops reading, and why it stopped there.
struct DescriptionRead {
    std::map<std::string, std::string> values;
    std::string why;
};

DescriptionRead ReadLikeLauncher(const std::string& bytes)
{
    DescriptionRead read;
    const std::size_t nul = bytes.find('\0');
    const std::string text = bytes.substr(0, nul);
    const std::string at = nul == std::string::npos ? "" : "a NUL byte at offset " + std::to_string(nul);
    std::size_t start = 0;
    for (;;) {
        const std::size_t lineEnd = text.find("\r\n", start);
        if (lineEnd == std::string::npos)
            break;
        const std::string line = text.substr(start, lineEnd - start);
        const std::size_t equals = line.find('=');
        if (equals == std::string::npos) {
            read.why = "reading stops at the line \"" + line + "\", which has no '='";
            return read;
        }
        read.values[line.substr(0, equals)] = line.substr(equals + 1);
        start = lineEnd + 2;
    }
    const std::string rest = text.substr(start);
    if (!rest.empty())
        read.why = at.empty() ? "the last line \"" + rest + "\" has no CR LF line end"
                              : at + " ends the text inside the line \"" + rest + "\"";
    else if (!at.empty())
        read.why = at + " ends the text";
    return read;
}

// The offset of the first line that sets the key as a reader would see it, whatever ends
// the line before it (a line end, or a NUL); npos when none does. Lines before the point
// where the launcher stops reading are read, so a key found is one written past it.
std::size_t WrittenAt(const std::string& bytes, const std::string& key)
{
    for (std::size_t start = 0; start < bytes.size();) {
        if (bytes.compare(start, key.size() + 1, key + "=") == 0)
            return start;
        const std::size_t lineEnd = bytes.find_first_of(std::string("\n\0", 2), start);
        if (lineEnd == std::string::npos)
            break;
        start = lineEnd + 1;
    }
    return std::string::npos;
}

// The first line that ends with LF alone ("line 2 \"PatchTitle=SP1\""), or "" when every LF follows a CR.
std::string FirstBareLineFeed(const std::string& bytes)
{
    const std::size_t kShown = 80;
    std::size_t start = 0;
    for (unsigned line = 1;; ++line) {
        const std::size_t lineFeed = bytes.find('\n', start);
        if (lineFeed == std::string::npos)
            return "";
        if (lineFeed == 0 || bytes[lineFeed - 1] != '\r') {
            const std::string text = bytes.substr(start, lineFeed - start);
            return "line " + std::to_string(line) + " \"" +
                   (text.size() > kShown ? text.substr(0, kShown) + "..." : text) + "\"";
        }
        start = lineFeed + 1;
    }
}

void CheckCopy(Findings& f, const DescriptionCopy& copy, const std::string* patchCode)
{
    if (copy.bytes.empty()) {
        f.Error("the description is empty: every run stops at once with code 102");
        return;
    }
    // Lines that end with LF alone run together for the launcher, which reads only CR LF.
    if (const std::string line = FirstBareLineFeed(copy.bytes); !line.empty()) {
        f.Error("its lines end with LF alone (the first: " + line +
                "), which the launcher does not take for a line end: convert it to CR LF");
        return;
    }
    const DescriptionRead read = ReadLikeLauncher(copy.bytes);
    for (const auto& identity : kIdentityKeys) {
        const std::string key = identity.first;
        if (read.values.count(key) != 0)
            continue;
        const std::size_t written = WrittenAt(copy.bytes, key);
        const std::string carries = std::string("the command line carries ") + identity.second + "=\"\"";
        if (written == std::string::npos)
            f.Error(key + " is missing: " + carries);
        else
            f.Error(key + " is written but never read: " + read.why + "; " + carries);
    }
    const auto title = read.values.find("PatchTitle");
    const auto guid = read.values.find("PatchGUID");
    const std::string titleText = title == read.values.end() ? "" : title->second;
    const std::string guidText = guid == read.values.end() ? "" : guid->second;
    if (guid != read.values.end() && patchCode != nullptr && !SameGuid(guidText, *patchCode))
        f.Error("the PatchGUID \"" + guidText + "\" differs from the patch code " + *patchCode + " of row " +
                std::to_string(IDS_PATCH_GUID));
    const auto intended = PatchProperties("<features>", "<features>", titleText, guidText);
    const std::string line = CommandLine(intended);
    for (const auto& value : {std::make_pair("PatchTitle", titleText), std::make_pair("PatchGUID", guidText)})
        if (value.second.find('"') != std::string::npos)
            f.Error("the " + std::string(value.first) + " \"" + value.second +
                    "\" holds a double quote, which ends its value early: the installer reads " + line + ", so it " +
                    MisreadProperties(line, intended));
    f.Note("the patch command line ends with PATCHTITLE=\"" + titleText + "\" PATCHGUID=\"" + guidText +
           "\" REBOOT=" + kNoRestart);
}

}  // namespace

void CheckDescriptions(const Configuration& config, std::vector<Finding>& out)
{
    const std::string name = std::string("TXT ") + std::to_string(IDR_DESCRIPTION);
    const std::string* patchCode = Row(config, IDS_PATCH_GUID);
    if (patchCode == nullptr) {
        Findings table(out, "STRINGTABLE");
        table.Warning(IDS_PATCH_GUID, "row " + std::to_string(IDS_PATCH_GUID) + " (the patch code) is " +
                                          AbsenceOf(config, IDS_PATCH_GUID) +
                                          ": the description and the package cannot be checked against it");
    }
    if (config.descriptions.empty()) {
        Findings(out, name).Error("the description is missing: every run stops at once with code 101");
        return;
    }
    for (const DescriptionCopy& copy : config.descriptions) {
        Findings f(out,
                   config.descriptions.size() == 1 ? name : name + " (language " + std::to_string(copy.language) + ")");
        CheckCopy(f, copy, patchCode);
    }
}

}  // namespace check
