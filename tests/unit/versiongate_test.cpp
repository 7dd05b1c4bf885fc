// The version gate: how version texts are read and how the accepted list is walked.
#include "installer/versiongate.h"
#include "tests/unit/test_machine.h"

using VersionGateTest = MachineTest;

TEST_F(VersionGateTest, ReadsUpToFourPartsLikeTheRuntimeCutTo16Bits)
{
    const struct {
        const char* pszText;
        std::vector<int> parts;
    } cases[] = {
        {"7.0.43.5", {7, 0, 43, 5}},
        {"7,0,43,5", {7, 0, 43, 5}},
        {"7.0.43", {7, 0, 0, 0}},  // the last part is read only after three dots
        {"7.1", {7, 0, 0, 0}},
        {"7", {0, 0, 0, 0}},
        {"7.0.43.5.9", {7, 0, 43, 5}},
        {"7.00.043.5", {7, 0, 43, 5}},
        {" 7.+1.-1.5x", {7, 1, 65535, 5}},
        {"7.0.65579.5", {7, 0, 43, 5}},
        {"a.b.c.d", {0, 0, 0, 0}},
        {"7.0.18446744073709551659.5", {7, 0, 43, 5}},  // far beyond 32 bits, the low 16 bits still hold
    };
    for (const auto& c : cases) {
        const CVersion v = ParseVersion(c.pszText);
        EXPECT_EQ((std::vector<int>{v.m_nParts[0], v.m_nParts[1], v.m_nParts[2], v.m_nParts[3]}), c.parts) << c.pszText;
    }
}

TEST_F(VersionGateTest, EveryEntryEndsWithACommaAndOnlyARejectionShowsTheMessage)
{
    const struct {
        const char *pszInstalled, *pszList;
        bool bAccepted;
    } cases[] = {
        {"7.0.43.5", "7.0.43.5,7.0.61.1,", true},
        {"7.0.61.1", "7.0.43.5,7.0.61.1,", true},
        {"7.0.61.1", "7.0.43.5,7.0.61.1", false},  // text after the last comma is no entry
        {"7.0.43.5", "7.0.43.5", false},
        {"", "7.0.43.5,7.0.61.1,", false},  // an unreported version is four zeros, as these entries are:
        {"", "7.0.43.5,,", true},
        {"", ",7.0.43.5,", true},
        {"", "7,", true},
    };
    for (const auto& c : cases) {
        Sim().messageBoxes.clear();
        CProductRecord record;
        record.m_strInstalledVersion = c.pszInstalled;
        record.m_strAcceptedVersions = c.pszList;
        EXPECT_EQ(IsVersionAccepted(record) != FALSE, c.bAccepted) << c.pszInstalled << " in " << c.pszList;
        EXPECT_EQ(MessageTexts(), c.bAccepted ? std::vector<std::string>{}
                                              : std::vector<std::string>{"Incorrect product version installed"});
    }
}
