// Tests of splaunch-check: what it reports for crafted configurations.
#include <gtest/gtest.h>

#include <functional>

#include "checkutil.h"

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
const std::string kNoFeature = "STRINGTABLE: 1002: error: the feature name ";

// Each expected line is the start of a reported line: where, how bad, and what the launcher will do.
// clang-format off
const Case kCases[] = {
    {"a clean configuration: only its identity suffix", [](Configuration&) {},
     {"TXT 206: -: note: the patch command line ends with PATCHTITLE=\"SP1\" PATCHGUID=\"" + kPatch + "\" REBOOT=ReallySuppress"}, true},
    // Rows past the gap are still checked, and their products still count as configured.
    {"a row missing in one band", [](Configuration& c) { c.rows.erase(701); c.rows[902] = "U1:7.0.43.5"; },
     {"STRINGTABLE: 701: error: row 701 is missing: products 1 to 2 (rows 401-402) will never be offered",
      "STRINGTABLE: 902: error: the accepted versions \"7.0.43.5\" have no comma"}},
    {"a gap that ends the catalogue", [](Configuration& c) { for (unsigned b : kProductBands) c.rows.erase(b + 1); },
     {"STRINGTABLE: 401: error: product 1 has no rows (401 to 901 are all missing), so the catalogue ends there: "
      "rows 402, 502, 602, 702, 802, 902 will never be read", kNoTarget + kCodes[1]}},
    // The character at fault is named, and a length that is not 38.
    {"product codes that are not braced GUIDs",
     [](Configuration& c) {
         c.rows[501] = "U1:" + kUnbraced; c.package.targets[1] = kUnbraced;
         c.rows[502] = "U1:{4F2A7C15-3B9D-040C-A1E6-5G8D2B7F9031}"; c.package.targets[2] = Row(c, 502)->substr(3); },
     {"STRINGTABLE: 501: error: product code \"" + kUnbraced + "\" of product 1 is not a braced GUID (character 1 "
      "'4' is not '{'; 38 characters expected, 36 found): the installer",
      "STRINGTABLE: 502: error: product code \"{4F2A7C15-3B9D-040C-A1E6-5G8D2B7F9031}\" of product 2 is not a braced "
      "GUID (character 27 'G' is not a hexadecimal digit): the installer"}},
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
    {"a quote in a feature name", [](Configuration& c) { c.rows[1002] = "U1:A\" REMOVE=\"ALL,P"; },
     {"STRINGTABLE: 1002: error: the feature name \"A\" REMOVE=\"ALL\" holds a double quote, which ends its list "
      "early: the patch command line reads PATCH=\"<package>\" ADDLOCAL=\"\" REINSTALL=\"A\" REMOVE=\"ALL,\" "
      "PATCHTITLE=\"<title>\" PATCHGUID=\"<guid>\" REBOOT=ReallySuppress, so the installer sets REINSTALL to \"A\" and also sets REMOVE "
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
    // Converted once, not reported key by key with the whole text each time.
    {"lines ending in LF alone", Description("ProductCode=x\r\nPatchTitle=SP1\nPatchGUID=" + kPatch + "\n"),
     {"TXT 206: -: error: its lines end with LF alone (the first: line 2 \"PatchTitle=SP1\"), which the launcher "
      "does not take for a line end: convert it to CR LF"}},
    {"a description GUID that is not the patch code", Description("PatchTitle=SP1\r\nPatchGUID=" + kCodes[0] + "\r\n"),
     {"TXT 206: -: error: the PatchGUID \"" + kCodes[0] + "\" differs from the patch code " + kPatch + " of row 207"}},
    {"a quote in the title", Description("PatchTitle=SP1\" REMOVE=\"ALL\r\nPatchGUID=" + kPatch + "\r\n"),
     {"TXT 206: -: error: the PatchTitle \"SP1\" REMOVE=\"ALL\" holds a double quote, which ends its value early: the "
      "installer reads PATCH=\"<package>\" ADDLOCAL=\"<features>\" REINSTALL=\"<features>\" PATCHTITLE=\"SP1\" "
      "REMOVE=\"ALL\" PATCHGUID=\"" + kPatch + "\" REBOOT=ReallySuppress, so it sets PATCHTITLE to \"SP1\" and also sets REMOVE to \"ALL\""}},
    // Doubled quotes stand for one inside a quoted value, so even they do not survive.
    {"doubled quotes in the title", Description("PatchTitle=SP1 \"\"Gold\"\"\r\nPatchGUID=" + kPatch + "\r\n"),
     {"TXT 206: -: error: the PatchTitle \"SP1 \"\"Gold\"\"\" holds a double quote"}},
    {"each language copy of the description",
     [](Configuration& c) { c.descriptions.push_back({1033, "PatchGUID=" + kPatch + "\r\n"}); },
     {"TXT 206 (language 1033): -: error: PatchTitle is missing"}},
    // One report per database and row, whichever products share them; names match byte for byte; a
    // blank is reported once, as a blank.
    {"feature names a product's database does not have",
     [](Configuration& c) {
         c.rows[1002] = "U1:DraftFont,p, P";
         for (const std::string& code : kCodes)
             c.products[CodeKey(code)] = {"/x/orvell.msi", {"Registry_Feature", "DraftFonts", "P", "HM_SYSTEM_0002",
                                                            "System_Files"}, ""}; },
     {kNoFeature + "\" P\" in \"DraftFont,p, P\" holds a blank", kNoFeature + "\"DraftFont\" in row 1002 \"DraftFont,p, "
      "P\" is not a feature of products 0-2 (orvell.msi has none of that name; names match byte for byte): did you mean "
      "\"DraftFonts\"?", kNoFeature + "\"p\""}},
    {"a product's database that cannot be read",
     [](Configuration& c) { c.products[CodeKey(kCodes[1])] = {"/x/broken.msi", {}, "its Feature table cannot be read"}; },
     {"STRINGTABLE: 501: error: the .msi /x/broken.msi of product 1 cannot be read (its Feature table cannot be read): "
      "the feature rows are not checked against it"}},
    // The gate's reading on both sides (a comma reads as a dot); one report for the two transforms of one target.
    {"a transform made from a version the product does not accept",
     [](Configuration& c) {
         c.package.transforms = {{"RTM_To_SP1", kCodes[1], "7.0.43.4", ""}, {"#RTM_To_SP1", kCodes[1], "7.0.43.4", ""},
                                 {"Old", kCodes[0], "7,0,61,1", ""}, {"Gone", "", "", "the patch has no such substorage"}}; },
     {"STRINGTABLE: 901: error: the patch's transform \"RTM_To_SP1\" applies to version 7.0.43.4 of product 1 " +
      kCodes[1] + ", which the accepted versions \"7.0.43.5,7.0.61.1,\" do not include: the launcher refuses that "
      "version with message 308", "MSP IDR_MSP: -: warning: the patch's transform \"Gone\" cannot be read"}},
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

}  // namespace
