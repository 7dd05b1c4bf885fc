// The patch description: loading failures and how the text is read into the suffix.
#include "app/globals.h"
#include "description/description.h"
#include "tests/unit/test_machine.h"

using DescriptionTest = MachineTest;

static std::string SuffixOf(const std::string& text) { return std::string(FormPatchIdentitySuffix(CString(text.data(), (int)text.size()))); }

static std::string Suffix(const std::string& title, const std::string& guid)
{
    return " PATCHTITLE=\"" + title + "\" PATCHGUID=\"" + guid + "\"";
}

TEST_F(DescriptionTest, BothShippedCopiesGiveTheirTitleAndTheGuid)
{
    EXPECT_EQ(SuffixOf(kNeutralDescription), kTitleSuffix);
    EXPECT_EQ(SuffixOf("ProductVersionCandidate=7.0.43.5,\r\nPatchTitle=\r\nPatchGUID={G}\r\nPatchSize=\r\n\r\n"),
              Suffix("", "{G}"));
}

TEST_F(DescriptionTest, OnlyCompleteCrLfLinesWithAnEqualsSignAreRead)
{
    // A last line without its line end is lost.
    EXPECT_EQ(SuffixOf("PatchTitle=T\r\nPatchGUID={G}"), Suffix("T", ""));
    // Line feeds alone make no line at all.
    EXPECT_EQ(SuffixOf("PatchTitle=T\nPatchGUID={G}\n"), Suffix("", ""));
    // An empty line, or any line without "=", ends the reading there.
    EXPECT_EQ(SuffixOf("A=1\r\n\r\nPatchTitle=T\r\nPatchGUID={G}\r\n"), Suffix("", ""));
    EXPECT_EQ(SuffixOf("PatchTitle=T\r\nnoequals\r\nPatchGUID={G}\r\n"), Suffix("T", ""));
}

TEST_F(DescriptionTest, KeysAreExactAndValuesKeepEverythingAfterTheFirstEqualsSign)
{
    EXPECT_EQ(SuffixOf("PatchTitle=A=B\r\nPatchGUID= {G} \r\n"), Suffix("A=B", " {G} "));
    EXPECT_EQ(SuffixOf("PatchTitle = T\r\npatchtitle=t\r\nPatchGUID={G}\r\n"), Suffix("", "{G}"));
    EXPECT_EQ(SuffixOf("PatchTitle=first\r\nPatchTitle=second\r\n=empty key\r\nPatchGUID={G}\r\n"),
              Suffix("second", "{G}"));
    EXPECT_EQ(SuffixOf("PatchTitle=say \"hi\"\r\nPatchGUID={G}\r\n"), Suffix("say \"hi\"", "{G}"));
}

TEST_F(DescriptionTest, ANulInsideTheResourceEndsTheText)
{
    SimAddResource("#206", "TXT", std::string("PatchTitle=T\r\n\0PatchGUID={G}\r\n", 30));
    CString strSuffix;
    ASSERT_EQ(LoadPatchDescription(strSuffix), 0);
    EXPECT_EQ(std::string(strSuffix), Suffix("T", ""));
}

TEST_F(DescriptionTest, EachResourceStepFailsWithItsOwnCode)
{
    CString strSuffix;
    EXPECT_EQ(LoadPatchDescription(strSuffix), 101);
    SimAddResource("#206", "TXT", "");
    EXPECT_EQ(LoadPatchDescription(strSuffix), 102);
    Sim().resources.clear();
    SimAddResource("#206", "TXT", kNeutralDescription).bFailLoad = true;
    EXPECT_EQ(LoadPatchDescription(strSuffix), 103);
    Sim().resources.clear();
    SimAddResource("#206", "TXT", kNeutralDescription).bFailLock = true;
    EXPECT_EQ(LoadPatchDescription(strSuffix), 104);
    EXPECT_TRUE(strSuffix.IsEmpty());
}
