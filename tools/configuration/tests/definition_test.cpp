// Tests of splaunch-define's reader: the rows a definition makes, and where each mistake in one is reported.
#include <gtest/gtest.h>

#include "definition.h"
#include "res/resource.h"
#include "script.h"

using namespace define;

namespace {

const std::string kGuid = "{5D0C9E42-7A1B-4C3E-9F20-6B8A1D4E7C53}";

// Two editions of one product, rows in both feature bands, two description copies, two messages changed.
const std::string kDefinition = R"([launcher]
file = "orvell-sp1.exe"
company = "Halvane"
product_name = "Orvell 5"
description = "Orvell 5 Service Pack 1"
file_version = "1.0.0.3"
product_version = "5.1.0.0"

[description]
title = "Orvell 5 Service Pack 1"

[[description.copy]]
language = 0
lines = ["PatchTitle", "PatchGUID"]

[[description.copy]]
language = 1031
lines = ["ProductCode={A3E1C6B2-4D5F-0407-8E9A-1B2C3D4E5F60}", "PatchTitle=Orvell 5 SP1 \u00FCber", "PatchGUID", ""]

[messages]
success = "Orvell: the %s update is in place"
choose_product = ""

[product_defaults]
name = "Orvell 5"
tag = "OR5"
target_version = "5.1.0.0"
accepted_versions = ["5.0.12.0"]

[[product]]
code = "{A3E1C6B2-4D5F-0409-8E9A-1B2C3D4E5F60}"
language = 1033
host_key = 'Software\Halvane\Orvell\5.0:409'

[[product]]
code = "{A3E1C6B2-4D5F-0407-8E9A-1B2C3D4E5F60}"
language = 1031
host_key = 'Software\Halvane\Orvell\5.0:407'
accepted_versions = ["5.0.12.0", "5.0.12.3"]

[features.OR5]
second = ["Core,Orvell", "DraftFonts,Orvell"]
first = ["OrvellSystem,System_Files,Orvell"]

[features.X]
second = ["Extra"]
)";

TEST(Definition, ACompleteDefinitionMakesItsRowsAndDescriptions)
{
    std::vector<Diagnostic> errors;
    const Definition definition = ReadDefinition(kDefinition, "/", errors);
    ASSERT_TRUE(errors.empty()) << errors[0].at.line << ":" << errors[0].at.column << ": " << errors[0].text;
    const LauncherTexts texts = MakeTexts(definition, kGuid);
    // clang-format off
    const std::map<unsigned, std::string> expected = {
        {IDS_PATCH_GUID, kGuid},
        {IDS_SUCCESS, "Orvell: the %s update is in place"},
        {401, "OR5:Orvell 5"},
        {500, "OR5:{A3E1C6B2-4D5F-0409-8E9A-1B2C3D4E5F60}"},
        {501, "OR5:{A3E1C6B2-4D5F-0407-8E9A-1B2C3D4E5F60}"},
        {600, "OR5:1033"},
        {601, "OR5:1031"},
        {700, "OR5:5.1.0.0"},
        {801, "OR5:Software\\Halvane\\Orvell\\5.0:407"},
        {900, "OR5:5.0.12.0,"},
        {901, "OR5:5.0.12.0,5.0.12.3,"},
        {1001, "OR5:Core,Orvell"},
        {1002, "OR5:DraftFonts,Orvell"},
        {1003, "X:Extra"},
        {10001, "OR5:OrvellSystem,System_Files,Orvell"}};
    // clang-format on
    for (const auto& [id, row] : expected) {
        SCOPED_TRACE(id);
        ASSERT_EQ(texts.rows.count(id), 1u);
        EXPECT_EQ(texts.rows.at(id), row);
    }
    // Eleven message rows, one left out; six rows for each of two products; four feature rows.
    EXPECT_EQ(texts.rows.size(), 1u + 10u + 12u + 4u);
    EXPECT_EQ(texts.rows.count(IDS_CHOOSE_PRODUCT), 0u);
    const std::map<unsigned, std::string> descriptions = {
        {0, "PatchTitle=Orvell 5 Service Pack 1\r\nPatchGUID=" + kGuid + "\r\n"},
        {1031, "ProductCode={A3E1C6B2-4D5F-0407-8E9A-1B2C3D4E5F60}\r\nPatchTitle=Orvell 5 SP1 \xFC"
               "ber\r\nPatchGUID=" +
                   kGuid + "\r\n\r\n"}};
    EXPECT_EQ(texts.descriptions, descriptions);
}

// windres reads a wide string's \x escape as exactly four hexadecimal digits, a doubled quote as
// one and a doubled backslash as one; a LANGUAGE statement as the primary language and sublanguage.
TEST(Definition, TheScriptWritesEveryRowAsWindresReadsIt)
{
    std::vector<Diagnostic> errors;
    Definition definition = ReadDefinition(kDefinition, "/", errors);
    ASSERT_TRUE(errors.empty());
    definition.messages[IDS_SUCCESS] = "\"%s\" \\ done\tnow\r\n\xC3\xA9\xE4\xB8\xAD\xF0\x9F\x98\x80";
    ScriptFiles files;
    files.package = "splaunch.msp";
    files.descriptions = {{0, "description-neutral.txt"}, {1031, "description-1031.txt"}};
    const std::string script = ResourceScript(definition, MakeTexts(definition, kGuid), files);
    for (const std::string line :
         {"    301 L\"\"\"%s\"\" \\\\ done\\x0009now\\x000D\\x000A\\x00E9\\x4E2D\\xD83D\\xDE00\"\n",
          "    801 L\"OR5:Software\\\\Halvane\\\\Orvell\\\\5.0:407\"\n",
          "LANGUAGE 7, 1\nIDR_DESCRIPTION TXT \"description-1031.txt\"\n", "IDR_MSP MSP \"splaunch.msp\"\n",
          "FILEVERSION 1,0,0,3\n", "            VALUE \"InternalName\", L\"orvell-sp1\"\n"})
        EXPECT_NE(script.find(line), std::string::npos) << line;
}

// Each mistake: the text it replaces in the definition, the text that replaces it, and the
// start of each error it gives, with its line and column.
// clang-format off
const struct {
    const char* name;
    std::string from, to;
    std::vector<std::string> errors;
} kMistakes[] = {
    {"an unknown key", "company", "compnay",
     {"3:1: unknown key \"compnay\" in [launcher]", "1:1: [launcher] has no \"company\""}},
    {"an unknown table", "[messages]", "[message]",
     {"20:2: unknown key \"message\" in the definition"}},
    {"an unknown message", "choose_product", "choose_prodcut",
     {"22:1: unknown key \"choose_prodcut\" in [messages]"}},
    {"a language as text", "language = 1031\nhost", "language = \"1031\"\nhost",
     {"37:12: product 1 language must be a locale id"}},
    {"a name of the wrong type", "\nname = \"Orvell 5\"", "\nname = 5",
     {"25:8: [product_defaults] name must be a string, not an integer"}},
    {"a required key missing", "code = \"{A3E1C6B2-4D5F-0409-8E9A-1B2C3D4E5F60}\"\n", "",
     {"30:1: product 0 has no \"code\""}},
    {"a product code with a letter that is no digit", "0409-8E9A", "0409-8G9A",
     {"31:8: product 0 code \"{A3E1C6B2-4D5F-0409-8G9A-1B2C3D4E5F60}\" is not a braced GUID: character 22 'G' is not "
     "a hexadecimal digit"}},
    {"an accepted version of three parts", "\"5.0.12.0\", \"5.0.12.3\"", "\"5.0.12.0\", \"5.0.12\"",
     {"39:34: product 1: the accepted version \"5.0.12\" is not four numbers from 0 to 65535 separated by dots (it has "
     "3 parts, not 4): the launcher's gate reads it as 5.0.0.0"}},
    {"no accepted version", "accepted_versions = [\"5.0.12.0\"]", "accepted_versions = []",
     {"28:21: [product_defaults] accepted_versions must be a list of versions"}},
    {"an empty name", "\nname = \"Orvell 5\"", "\nname = \"\"",
     {"25:8: [product_defaults] name is empty: the catalogue would end before this product"}},
    {"a tag with a colon", "tag = \"OR5\"", "tag = \"OR:5\"",
     {"26:7: [product_defaults] tag \"OR:5\" holds a ':'"}},
    {"a description line without '='", "\"PatchGUID\", \"\"]", "\"PatchGUID\", \"Notes\"]",
     {"18:114: description copy 2: the line \"Notes\" has no '='"}},
    {"a description character beyond 8 bits", "\\u00FCber", "\\u0441ber",
     {"18:64: description copy 2 holds U+0441, which an 8-bit description cannot carry"}},
    {"two copies of one language", "language = 1031\nlines", "language = 0\nlines",
     {"17:12: description copy 2 repeats language 0"}},
    {"a file name without .exe", "orvell-sp1.exe", "orvell-sp1",
     {"2:8: [launcher] file \"orvell-sp1\" is not a file name ending in .exe"}},
    {"a version block of three parts", "\"1.0.0.3\"", "\"1.0.3\"",
     {"6:16: [launcher] file_version \"1.0.3\" is not four numbers"}},
    {"an empty feature row", "\"DraftFonts,Orvell\"", "\"\"",
     {"42:26: [features.OR5] second: a feature row must be a string"}},
    {"a TOML syntax error", "[features.X]", "[features.X",
     {"45:12: "}},
};
// clang-format on

TEST(Definition, EachMistakeIsReportedWhereItStands)
{
    for (const auto& mistake : kMistakes) {
        SCOPED_TRACE(mistake.name);
        std::string text = kDefinition;
        const std::size_t at = text.find(mistake.from);
        ASSERT_NE(at, std::string::npos);
        text.replace(at, mistake.from.size(), mistake.to);
        std::vector<Diagnostic> errors;
        (void)ReadDefinition(text, "/", errors);
        std::vector<std::string> lines;
        for (const Diagnostic& error : errors)
            lines.push_back(std::to_string(error.at.line) + ":" + std::to_string(error.at.column) + ": " + error.text);
        ASSERT_EQ(lines.size(), mistake.errors.size()) << ::testing::PrintToString(lines);
        for (std::size_t i = 0; i < lines.size(); ++i)
            EXPECT_EQ(lines[i].substr(0, mistake.errors[i].size()), mistake.errors[i]);
    }
}

}  // namespace
