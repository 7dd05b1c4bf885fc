// The patch description: each resource step's failure and how the text is read into the suffix.
#include "description/description.h"
#include "tests/unit/test_machine.h"

using DescriptionTest = MachineTest;

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
        EXPECT_EQ(std::string(FormPatchIdentitySuffix(c.text.c_str())), c.suffix) << c.text;
}

TEST_F(DescriptionTest, EachResourceStepFailsWithItsOwnCodeAndANulEndsTheText)
{
    const struct {
        bool bPresent, bFailLoad, bFailLock;
        std::string bytes;
        int nCode;
        std::string suffix;
    } cases[] = {{false, false, false, "x", 101, ""},
                 {true, false, false, "", 102, ""},
                 {true, true, false, "x", 103, ""},
                 {true, false, true, "x", 104, ""},
                 {true, false, false, std::string("PatchTitle=T\r\n\0PatchGUID={G}\r\n", 30), 0, Suffix("T", "")}};
    for (const auto& c : cases) {
        Sim().resources.clear();
        if (c.bPresent) {
            SimResource& r = SimAddResource(SPLAUNCH_DESCRIPTION_NAME, SPLAUNCH_DESCRIPTION_TYPE, c.bytes);
            r.bFailLoad = c.bFailLoad;
            r.bFailLock = c.bFailLock;
        }
        CString strSuffix;
        EXPECT_EQ(LoadPatchDescription(strSuffix), c.nCode);
        EXPECT_EQ(std::string(strSuffix), c.suffix) << c.nCode;
    }
}
