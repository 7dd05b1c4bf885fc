// Tests of the patch definition reader.
#include <gtest/gtest.h>

#include <sstream>
#include <stdexcept>

#include "mspdef.h"

using namespace msp;

namespace {

PatchDefinition Parse(const std::string& text)
{
    std::istringstream in(text);
    return ParseDefinition(in);
}

std::string ErrorOf(const std::string& text)
{
    try {
        Parse(text);
    } catch (const std::runtime_error& e) {
        return e.what();
    }
    return "no error";
}

}  // namespace

TEST(Definition, ReadsSectionsPairsAndRows)
{
    const PatchDefinition d =
        Parse("# comment\n[patch]\n code = {X} \ntitle = A = B\n\n[target]\nmsi = v1/k.msi\r\n"
              "[property]\nKELVARIN_SP = 1\n[file]\nF_P = v2/files/p.txt\n"
              "[rows CustomAction]\nFail | 19 | | text |\n[rows InstallExecuteSequence]\nFail||6590\n");
    EXPECT_EQ(PatchDefinition::Get(d.patch, "code"), "{X}");
    EXPECT_EQ(PatchDefinition::Get(d.patch, "title"), "A = B");
    EXPECT_EQ(PatchDefinition::Get(d.target, "msi"), "v1/k.msi");
    EXPECT_EQ(PatchDefinition::Get(d.patch, "absent", "fallback"), "fallback");
    EXPECT_THROW(PatchDefinition::Get(d.patch, "absent"), std::runtime_error);
    ASSERT_EQ(d.properties.size(), 1u);
    EXPECT_EQ(d.files[0].second, "v2/files/p.txt");
    ASSERT_EQ(d.rows.size(), 2u);
    EXPECT_EQ(d.rows[0].table, "CustomAction");
    EXPECT_EQ(d.rows[0].cells, (std::vector<std::string>{"Fail", "19", "", "text", ""}));
    EXPECT_EQ(d.rows[1].cells, (std::vector<std::string>{"Fail", "", "6590"}));
    EXPECT_EQ(d.rows[1].line, 15);
}

TEST(Definition, ReportsTheLineOfEachMistake)
{
    EXPECT_EQ(ErrorOf("[patch]\ncode = 1\ncode = 2\n"), "line 3: duplicate key code");
    EXPECT_EQ(ErrorOf("\n[patches]\n"), "line 2: unknown section [patches]");
    EXPECT_EQ(ErrorOf("[rows ]\n"), "line 1: unknown section [rows]");
    EXPECT_EQ(ErrorOf("code = 1\n"), "line 1: text outside a section");
    EXPECT_EQ(ErrorOf("[patch]\njust words\n"), "line 2: expected key = value");
    EXPECT_EQ(ErrorOf("[patch\n"), "line 1: unterminated section");
    EXPECT_EQ(ErrorOf("[file]\n = x\n"), "line 2: empty key");
}
