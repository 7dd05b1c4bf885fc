// Tests of splaunch-check: what it reports for crafted configurations, and how it tells a patch from other packages.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <unistd.h>

#include "checkutil.h"
#include "compoundfile.h"
#include "package.h"

using namespace check;

namespace {

const std::string kPatch = "{B7E3D1A9-52C4-4F8E-9A06-1D3C7E5B2F48}";
const std::string kCodes[] = {"{4F2A7C15-3B9D-0409-A1E6-5C8D2B7F9031}", "{4F2A7C15-3B9D-0407-A1E6-5C8D2B7F9031}",
                              "{4F2A7C15-3B9D-040C-A1E6-5C8D2B7F9031}"};
const std::string kUnbraced = kCodes[1].substr(1, 36);

// Three products, rows in both feature bands, one description copy and a patch for all three.
Configuration CleanConfiguration()
{
    Configuration c;
    c.rows = {{IDS_PATCH_GUID, kPatch},
              {IDS_ERROR_FORMAT, "Error %d: The %s update was not applied"},
              {IDS_SUCCESS, "The %s update has been successfully applied"},
              {1001, "U1:Registry_Feature"},
              {1002, "U1:HM_CORE_0001,CORECOMMON,P"},
              {10001, "U1:HM_SYSTEM_0002,System_Files,P"}};
    for (unsigned i = 0; i < 3; ++i) {
        c.rows[400 + i] = "U1:Kelvarin 2004";
        c.rows[500 + i] = "U1:" + kCodes[i];
        c.rows[600 + i] = "U1:1033";
        c.rows[700 + i] = "U1:7.1.0.5";
        c.rows[800 + i] = "U1:Software\\Tessaran\\Corvane:409";
        c.rows[900 + i] = "U1:7.0.43.5,7.0.61.1,";
    }
    c.stringTableLanguages = {0};
    c.descriptions = {{0, "ProductCode=" + kCodes[0] + "\r\nPatchTitle=SP1\r\nPatchGUID=" + kPatch + "\r\n"}};
    c.package.present = true;
    c.package.targets = {kCodes[0], kCodes[1], kCodes[2]};
    c.package.revision = kPatch;
    return c;
}

struct Case {
    const char* name;
    std::function<void(Configuration&)> change;
    std::vector<std::string> lines;
    bool notes = false;  // notes are compared only where a case asks for them
};

// A change that replaces the description's bytes.
std::function<void(Configuration&)> Description(const std::string& bytes)
{
    return [bytes](Configuration& c) { c.descriptions[0].bytes = bytes; };
}

const std::string kNoTarget = "MSP IDR_MSP: -: warning: the patch targets ";
const std::string kVersions = "STRINGTABLE: 901: error: the gate reads the accepted version ";
const std::string kNotRead = "TXT 206: -: error: PatchGUID is written but never read: ";

// Each expected line is the start of a reported line: where, how bad, and what the launcher will do.
// clang-format off
const Case kCases[] = {
    {"a clean configuration: only its identity suffix", [](Configuration&) {},
     {"TXT 206: -: note: the patch command line ends with PATCHTITLE=\"SP1\" PATCHGUID=\"" + kPatch + "\""}, true},
    // Rows past the gap are still checked, and their products still count as configured.
    {"a row missing in one band", [](Configuration& c) { c.rows.erase(701); c.rows[902] = "U1:7.0.43.5"; },
     {"STRINGTABLE: 701: error: row 701 is missing: products 1 to 2 (rows 401-402) will never be offered",
      "STRINGTABLE: 902: error: the accepted versions \"7.0.43.5\" have no comma"}},
    {"a gap that ends the catalogue", [](Configuration& c) { for (unsigned b : kProductBands) c.rows.erase(b + 1); },
     {"STRINGTABLE: 401: error: product 1 has no rows (401 to 901 are all missing), so the catalogue ends there: "
      "rows 402, 502, 602, 702, 802, 902 will never be read", kNoTarget + kCodes[1]}},
    {"a product code without braces",
     [](Configuration& c) { c.rows[501] = "U1:" + kUnbraced; c.package.targets[1] = kUnbraced; },
     {"STRINGTABLE: 501: error: product code \"" + kUnbraced + "\" of product 1 is not a braced GUID"}},
    {"a tag that differs between bands", [](Configuration& c) { c.rows[701] = "U2:7.1.0.5"; },
     {"STRINGTABLE: 701: warning: row 701 has the tag \"U2\" where product 1's name row 401 has \"U1\""}},
    {"a language in hexadecimal", [](Configuration& c) { c.rows[601] = "U1:0x409"; },
     {"STRINGTABLE: 601: error: language \"0x409\" of product 1 is not a plain decimal number"}},
    {"a last accepted version without its comma", [](Configuration& c) { c.rows[901] = "U1:7.0.43.5,7.0.61.1"; },
     {"STRINGTABLE: 901: error: the last accepted version \"7.0.61.1\" of product 1 has no comma after it"}},
    {"accepted versions the gate reads otherwise",
     [](Configuration& c) { c.rows[901] = "U1:7.0.43,7.0.43.5.1,7.70000.0.1,7.0.-1.5, 7.0.43.5,,"; },
     {kVersions + "\"7.0.43\" of product 1 as 7.0.0.0", kVersions + "\"7.0.43.5.1\" of product 1 as 7.0.43.5",
      kVersions + "\"7.70000.0.1\" of product 1 as 7.4464.0.1", kVersions + "\"7.0.-1.5\" of product 1 as 7.0.65535.5",
      kVersions + "\" 7.0.43.5\" of product 1 as 7.0.43.5", "STRINGTABLE: 901: error: entry 6 of the accepted versions"}},
    {"two products with one code",
     [](Configuration& c) { c.rows[502] = "U1:" + kCodes[0]; c.package.targets.pop_back(); },
     {"STRINGTABLE: 502: error: product 2 has the same code " + kCodes[0] + " as product 0 (row 500)"}},
    {"feature rows after a gap", [](Configuration& c) { c.rows[1004] = "U1:HM_X,P"; c.rows[1005] = "U1:HM_Y,P"; },
     {"STRINGTABLE: 1003: error: row 1003 is missing, so the second feature band (from row 1001) ends there: rows "
      "1004-1005 will never be read"}},
    {"a feature tag no product has", [](Configuration& c) { c.rows[1002] = "U2:HM_CORE_0001,CORECOMMON,P"; },
     {"STRINGTABLE: 1002: warning: no product has the tag \"U2\" of row 1002"}},
    {"a feature tag with a blank", [](Configuration& c) { c.rows[10001] = "U1 :HM_SYSTEM_0002,System_Files,P"; },
     {"STRINGTABLE: 10001: error: the tag \"U1 \" of row 10001 holds a blank"}},
    {"empty feature names", [](Configuration& c) { c.rows[1002] = "U1:A,,P,"; },
     {"STRINGTABLE: 1002: error: the feature list \"A,,P,\" has an empty name (entry 2)",
      "STRINGTABLE: 1002: error: the feature list \"A,,P,\" has an empty name (entry 4, after the last comma)"}},
    {"a blank after a comma", [](Configuration& c) { c.rows[1002] = "U1:HM_CORE_0001, CORECOMMON,P"; },
     {"STRINGTABLE: 1002: error: the feature name \" CORECOMMON\" in \"HM_CORE_0001, CORECOMMON,P\" holds a blank"}},
    {"a quote in a feature name", [](Configuration& c) { c.rows[1002] = "U1:A\" REMOVE=\"ALL,P"; },
     {"STRINGTABLE: 1002: error: the feature name \"A\" REMOVE=\"ALL\" holds a double quote, which ends its list "
      "early: the patch command line reads PATCH=\"<package>\" ADDLOCAL=\"\" REINSTALL=\"A\" REMOVE=\"ALL,\" "
      "PATCHTITLE=\"<title>\" PATCHGUID=\"<guid>\", so the installer sets REINSTALL to \"A\" and also sets REMOVE "
      "to \"ALL,\""}},
    {"rows an installer failure shows",
     [](Configuration& c) {
         for (unsigned id = 1003; id <= 1605; ++id) c.rows[id] = "U1:HM_X,P";
         c.rows[3011] = "Restart to finish"; },
     {"STRINGTABLE: 1601: warning: row 1601 is a feature row, but it is what a patch that fails with installer code "
      "1601 shows", "STRINGTABLE: 1603: warning", "STRINGTABLE: 1604: warning", "STRINGTABLE: 1605: warning",
      "STRINGTABLE: 3011: warning: row 3011 is what a patch that fails with installer code 3011 shows as its "
      "message: \"Restart to finish\""}},
    {"no message formats", [](Configuration& c) { c.rows.erase(IDS_ERROR_FORMAT); c.rows[IDS_SUCCESS] = ""; },
     {"STRINGTABLE: 300: warning: row 300 (the failure format) is missing",
      "STRINGTABLE: 301: warning: row 301 (the success message) is empty"}},
    {"a string table in two languages", [](Configuration& c) { c.stringTableLanguages.insert(1033); },
     {"STRINGTABLE: -: warning: the string table exists in languages 0, 1033"}},
    {"no patch code row", [](Configuration& c) { c.rows.erase(IDS_PATCH_GUID); },
     {"STRINGTABLE: 207: warning: row 207 (the patch code) is missing"}},
    {"a missing title and a line without '='", Description("PatchDesc=x\r\nbroken\r\nPatchGUID=" + kPatch + "\r\n"),
     {"TXT 206: -: error: PatchTitle is missing: the command line carries PATCHTITLE=\"\"",
      kNotRead + "reading stops at the line \"broken\", which has no '='"}},
    {"a last line without its line end", Description("PatchGUID=" + kPatch + "\r\nPatchTitle=SP1"),
     {"TXT 206: -: error: PatchTitle is written but never read: the last line \"PatchTitle=SP1\" has no CR LF"}},
    {"a NUL inside the description", Description(std::string("PatchTitle=SP1\r\n\0PatchGUID=", 27) + kPatch),
     {kNotRead + "a NUL byte at offset 16 ends the text"}},
    {"a line ending in LF alone", Description("PatchTitle=SP1\nPatchGUID=" + kPatch + "\r\n"),
     {kNotRead + "its line joins the one before"}},
    {"a description GUID that is not the patch code", Description("PatchTitle=SP1\r\nPatchGUID=" + kCodes[0] + "\r\n"),
     {"TXT 206: -: error: the PatchGUID \"" + kCodes[0] + "\" differs from the patch code " + kPatch + " of row 207"}},
    {"a quote in the title", Description("PatchTitle=SP1\" REMOVE=\"ALL\r\nPatchGUID=" + kPatch + "\r\n"),
     {"TXT 206: -: error: the PatchTitle \"SP1\" REMOVE=\"ALL\" holds a double quote, which ends its value early: the "
      "installer reads PATCH=\"<package>\" ADDLOCAL=\"<features>\" REINSTALL=\"<features>\" PATCHTITLE=\"SP1\" "
      "REMOVE=\"ALL\" PATCHGUID=\"" + kPatch + "\", so it sets PATCHTITLE to \"SP1\" and also sets REMOVE to \"ALL\""}},
    // Doubled quotes stand for one inside a quoted value, so even they do not survive.
    {"doubled quotes in the title", Description("PatchTitle=SP1 \"\"Gold\"\"\r\nPatchGUID=" + kPatch + "\r\n"),
     {"TXT 206: -: error: the PatchTitle \"SP1 \"\"Gold\"\"\" holds a double quote"}},
    {"each language copy of the description",
     [](Configuration& c) { c.descriptions.push_back({1033, "PatchGUID=" + kPatch + "\r\n"}); },
     {"TXT 206 (language 1033): -: error: PatchTitle is missing"}},
    {"no description", [](Configuration& c) { c.descriptions.clear(); },
     {"TXT 206: -: error: the description is missing: every run stops at once with code 101"}},
    {"a package under a number",
     [](Configuration& c) { c.package = PackageSummary(); c.package.elsewhere = "MSP 101"; },
     {"MSP IDR_MSP: -: error: the package is missing: the first product a run would patch stops it with code 101 "
      "(found instead: MSP 101)"}},
    {"another patch's code in the package", [](Configuration& c) { c.package.revision = kCodes[0] + kPatch; },
     {"MSP IDR_MSP: -: error: the package's patch code " + kCodes[0] + " differs from the patch code " + kPatch}},
    {"products and targets that do not match",
     [](Configuration& c) { c.package.targets[2] = "{00000000-0000-0000-0000-000000000001}"; },
     {"MSP IDR_MSP: 502: error: the patch does not target product 2 " + kCodes[2],
      kNoTarget + "{00000000-0000-0000-0000-000000000001}"}},
};
// clang-format on

TEST(Check, ReportsEachProblemOfAConfiguration)
{
    for (const Case& test : kCases) {
        SCOPED_TRACE(test.name);
        Configuration config = CleanConfiguration();
        test.change(config);
        std::vector<std::string> lines;
        for (const std::string& line : FormatFindings(CheckConfiguration(config), false))
            if (test.notes || line.find(": note: ") == std::string::npos)
                lines.push_back(line);
        ASSERT_EQ(lines.size(), test.lines.size()) << ::testing::PrintToString(lines);
        for (size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].substr(0, test.lines[i].size()), test.lines[i]);
    }
}

void Put(std::string& bytes, std::size_t at, int width, unsigned long value)
{
    for (int i = 0; i < width; ++i)
        bytes[at + i] = static_cast<char>(value >> 8 * i);
}

struct Field {
    std::size_t at;
    int width;
    unsigned long value;
};

// The header fields of a version 3 file with one FAT sector (sector 0), the directory in sector 1 and no
// mini FAT or DIFAT.
// clang-format off
const Field kPatchHeader[] = {{0x18, 2, 0x3E}, {0x1A, 2, 3}, {0x1C, 2, 0xFFFE}, {0x1E, 2, 9}, {0x20, 2, 6},
                              {0x2C, 4, 1}, {0x30, 4, 1}, {0x38, 4, 4096}, {0x3C, 4, 0xFFFFFFFE},
                              {0x44, 4, 0xFFFFFFFE}, {0x4C, 4, 0}};
// clang-format on

// A patch of three 4096-byte sectors (23 of 512 after the header at major version 3): one FAT sector,
// then the directory, whose root has the patch class id where either sector size puts it.
std::string Patch(const std::vector<Field>& changes = {})
{
    std::string patch(3 * 4096, '\0');
    patch.replace(0, 8, "\xD0\xCF\x11\xE0\xA1\xB1\x1A\xE1");
    for (std::size_t at = 0x4C; at < 512; at += 4)
        Put(patch, at, 4, 0xFFFFFFFF);
    for (const Field& field : kPatchHeader)
        Put(patch, field.at, field.width, field.value);
    for (std::size_t root : {2 * 512, 2 * 4096})
        patch.replace(root + 0x50, 16, "\x86\x10\x0C\x00\x00\x00\x00\x00\xC0\x00\x00\x00\x00\x00\x00\x46", 16);
    for (const Field& field : changes)
        Put(patch, field.at, field.width, field.value);
    return patch;
}

const std::string kMalformed = "the package's compound-file header is malformed: its ";

// Each expected problem is the start of the reported one.
// clang-format off
const struct {
    const char* name;
    std::vector<Field> changes;
    std::string problem;
} kHeaders[] = {
    {"a patch", {}, ""},
    {"a patch of major version 4", {{0x1A, 2, 4}, {0x1E, 2, 12}}, ""},
    {"an installer database", {{2 * 512 + 0x50, 1, 0x84}}, "the package is an installer database (class id "
     "{000C1084-0000-0000-C000-000000000046}), not a patch: the installer will not apply it as one"},
    {"a program", {{0, 2, 'M' | 'Z' << 8}}, "the package is not an OLE compound file (it does not start with D0 CF 11 "
     "E0 A1 B1 1A E1): the installer cannot open it as a patch"},
    {"minor version", {{0x18, 2, 0x3F}}, kMalformed + "minor version is 0x003F, not 0x003E"},
    {"byte order", {{0x1C, 2, 0xFEFF}}, kMalformed + "byte order mark is 0xFEFF, not 0xFFFE"},
    {"major version", {{0x1A, 2, 5}}, kMalformed + "major version is 5, not 3 or 4"},
    {"sector shift", {{0x1E, 2, 12}}, kMalformed + "sector shift is 12, not the 9 of major version 3"},
    {"mini sector shift", {{0x20, 2, 7}}, kMalformed + "mini sector shift is 7, not 6"},
    {"reserved bytes", {{0x25, 1, 1}}, kMalformed + "reserved byte at 0x25 is 0x01, not 0"},
    {"directory sectors at version 3", {{0x28, 4, 1}}, kMalformed + "directory sector count is 1, not the 0 of major "
     "version 3"},
    {"mini-stream cutoff, one byte flipped", {{0x39, 1, 0xEF}}, kMalformed + "mini-stream cutoff is 61184, not 4096"},
    {"FAT sectors", {{0x2C, 4, 24}}, kMalformed + "FAT sector count is 24, not from 1 to the file's 23 sectors"},
    {"DIFAT sectors", {{0x48, 4, 1}}, kMalformed + "DIFAT sector count is 1, not the 0 that the FAT sector count 1 "
     "needs"},
    {"mini FAT sectors", {{0x40, 4, 24}}, kMalformed + "mini FAT sector count is 24, more than the file's 23 sectors"},
    {"directory sectors at version 4", {{0x1A, 2, 4}, {0x1E, 2, 12}, {0x28, 4, 3}}, kMalformed + "directory sector "
     "count is 3, more than the file's 2 sectors"},
    {"first DIFAT sector", {{0x44, 4, 0}}, kMalformed + "first DIFAT sector is 0, not end-of-chain 0xFFFFFFFE for an "
     "empty chain"},
    {"first mini FAT sector", {{0x40, 4, 1}, {0x3C, 4, 23}}, kMalformed + "first mini FAT sector is 23, beyond the "
     "file's 23 sectors"},
    {"first directory sector", {{0x30, 4, 23}}, kMalformed + "first directory sector is 23, beyond the file's 23 "
     "sectors"},
    {"a FAT sector the header lists", {{0x4C, 4, 0xFFFFFFFF}}, kMalformed + "FAT sector 0 is 0xFFFFFFFF, beyond the "
     "file's 23 sectors"},
};
// clang-format on

// The resource reader meets windres's real output in every target build; here, what tells a patch from other
// compound files and from malformed ones.
TEST(Check, TellsAPatchFromOtherPackages)
{
    for (const auto& test : kHeaders) {
        SCOPED_TRACE(test.name);
        EXPECT_EQ(PackageHeaderProblem(Patch(test.changes)), test.problem);
    }
}

// Readers that stand for libmsi in the child process, well-behaved or not.
// clang-format off
const struct {
    const char* name;
    SummaryReader reader;
    std::string problem;
} kReaders[] = {
    {"a reader that finds the targets",
     [](const std::string&, PackageSummary& s) { s.revision = kPatch; s.targets = {kCodes[0], kCodes[1]}; }, ""},
    {"a reader that crashes", [](const std::string&, PackageSummary&) { std::abort(); },
     "the package cannot be read: reading its summary information crashed with signal 6"},
    {"a reader that hangs", [](const std::string&, PackageSummary&) { (void)pause(); },
     "the package cannot be read: reading its summary information took longer than 2 seconds"},
    {"a reader that leaves at once", [](const std::string&, PackageSummary&) { _exit(0); },
     "the package cannot be read: reading its summary information stopped with exit code 0 and no result"},
};
// clang-format on

TEST(Check, ReadsThePackageApartAndLeavesNoCopy)
{
    char folder[] = "/tmp/splaunch-check-test-XXXXXX";
    ASSERT_NE(mkdtemp(folder), nullptr);
    const char* previous = std::getenv("TMPDIR");
    const std::string saved = previous != nullptr ? previous : "";
    ASSERT_EQ(setenv("TMPDIR", folder, 1), 0);
    for (const auto& test : kReaders) {
        SCOPED_TRACE(test.name);
        const PackageSummary summary = ReadPackage(Patch(), test.reader, 2);
        EXPECT_EQ(summary.problem.substr(0, test.problem.empty() ? std::string::npos : test.problem.size()),
                  test.problem);
        const std::vector<std::string> targets = {kCodes[0], kCodes[1]};
        EXPECT_EQ(summary.targets, test.problem.empty() ? targets : std::vector<std::string>());
        EXPECT_EQ(summary.revision, test.problem.empty() ? kPatch : "");
    }
    EXPECT_EQ(previous != nullptr ? setenv("TMPDIR", saved.c_str(), 1) : unsetenv("TMPDIR"), 0);
    EXPECT_EQ(rmdir(folder), 0) << "a temporary copy is left in " << folder;
}

}  // namespace
