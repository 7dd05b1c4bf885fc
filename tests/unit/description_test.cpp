// The patch description: each resource step's failure and how the text is read into the suffix.
#include "description/description.h"
#include "tests/unit/test_machine.h"

using DescriptionTest = MachineTest;

static std::string SuffixOf(const std::string& text)
{
    return std::string(FormPatchIdentitySuffix(CString(text.data(), static_cast<int>(text.size()))));
}

static std::string Suffix(const std::string& title, const std::string& guid)
{
    return " PATCHTITLE=\"" + title + "\" PATCHGUID=\"" + guid + "\"";
}

TEST_F(DescriptionTest, OnlyCompleteCrLfLinesWithAnEqualsSignAreReadAndKeysAreExact)
{
    const struct {
        std::string text;
        std::string suffix;
    } cases[] = {
        {kNeutralDescription, kTitleSuffix},
        {"ProductVersionCandidate=7.0.43.5,\r\nPatchTitle=\r\nPatchGUID={G}\r\nPatchSize=\r\n\r\n", Suffix("", "{G}")},
        {"PatchTitle=T\r\nPatchGUID={G}", Suffix("T", "")},                // a last line without its line end is lost
        {"PatchTitle=T\nPatchGUID={G}\n", Suffix("", "")},                 // line feeds alone make no line
        {"A=1\r\n\r\nPatchTitle=T\r\nPatchGUID={G}\r\n", Suffix("", "")},  // an empty line ends the reading
        {"PatchTitle=T\r\nnoequals\r\nPatchGUID={G}\r\n", Suffix("T", "")},
        {"PatchTitle=A=B\r\nPatchGUID= {G} \r\n", Suffix("A=B", " {G} ")},
        {"PatchTitle = T\r\npatchtitle=t\r\nPatchGUID={G}\r\n", Suffix("", "{G}")},
        {"PatchTitle=first\r\nPatchTitle=second\r\n=empty key\r\nPatchGUID={G}\r\n", Suffix("second", "{G}")},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SuffixOf(c.text), c.suffix) << c.text;
}

TEST_F(DescriptionTest, EachResourceStepFailsWithItsOwnCodeAndANulEndsTheText)
{
    const struct {
        bool bPresent;
        std::string bytes;
        bool bFailLoad, bFailLock;
        int nCode;
    } cases[] = {{false, "x", false, false, 101},
                 {true, "", false, false, 102},
                 {true, "x", true, false, 103},
                 {true, "x", false, true, 104}};
    for (const auto& c : cases) {
        Sim().resources.clear();
        if (c.bPresent) {
            SimResource& r = SimAddResource(SPLAUNCH_DESCRIPTION_NAME, SPLAUNCH_DESCRIPTION_TYPE, c.bytes);
            r.bFailLoad = c.bFailLoad;
            r.bFailLock = c.bFailLock;
        }
        CString strSuffix;
        EXPECT_EQ(LoadPatchDescription(strSuffix), c.nCode);
        EXPECT_TRUE(strSuffix.IsEmpty());
    }
    Sim().resources.clear();
    SimAddResource(SPLAUNCH_DESCRIPTION_NAME, SPLAUNCH_DESCRIPTION_TYPE,
                   std::string("PatchTitle=T\r\n\0PatchGUID={G}\r\n", 30));
    CString strSuffix;
    ASSERT_EQ(LoadPatchDescription(strSuffix), 0);
    EXPECT_EQ(std::string(strSuffix), Suffix("T", ""));
}
