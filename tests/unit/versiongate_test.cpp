// The version gate: how version texts are read and how the accepted list is walked.
#include "app/globals.h"
#include "installer/versiongate.h"
#include "tests/unit/test_machine.h"

using VersionGateTest = MachineTest;

static std::vector<int> Parts(const char* pszText)
{
    const CVersion v = ParseVersion(pszText);
    return {v.m_nParts[0], v.m_nParts[1], v.m_nParts[2], v.m_nParts[3]};
}

TEST_F(VersionGateTest, ReadsUpToFourPartsAndTheLastOnlyAfterThreeSeparators)
{
    EXPECT_EQ(Parts("7.0.43.5"), (std::vector<int>{7, 0, 43, 5}));
    EXPECT_EQ(Parts("7,0,43,5"), (std::vector<int>{7, 0, 43, 5}));
    EXPECT_EQ(Parts("7.0.43"), (std::vector<int>{7, 0, 0, 0}));
    EXPECT_EQ(Parts("7.1"), (std::vector<int>{7, 0, 0, 0}));
    EXPECT_EQ(Parts("7"), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(Parts(""), (std::vector<int>{0, 0, 0, 0}));
    EXPECT_EQ(Parts("7.0.43.5.9"), (std::vector<int>{7, 0, 43, 5}));
    EXPECT_EQ(Parts("7.00.043.5"), (std::vector<int>{7, 0, 43, 5}));
}

TEST_F(VersionGateTest, NumbersAreReadLikeTheRuntimeAndCutTo16Bits)
{
    EXPECT_EQ(Parts(" 7.+1.-1.5x"), (std::vector<int>{7, 1, 65535, 5}));
    EXPECT_EQ(Parts("7.0.65579.5"), (std::vector<int>{7, 0, 43, 5}));
    EXPECT_EQ(Parts("a.b.c.d"), (std::vector<int>{0, 0, 0, 0}));
    // Far beyond 32 bits the low 16 bits are still those of the written number.
    EXPECT_EQ(Parts("7.0.18446744073709551659.5"), (std::vector<int>{7, 0, 43, 5}));
}

class GateTest : public MachineTest {
protected:
    void SetUp() override
    {
        MachineTest::SetUp();
        AddMessageRows();
    }
    static bool Accepts(const char* pszInstalled, const char* pszList)
    {
        CProductRecord record;
        record.m_strInstalledVersion = pszInstalled;
        record.m_strAcceptedVersions = pszList;
        return IsVersionAccepted(record) != FALSE;
    }
};

TEST_F(GateTest, EveryEntryEndsWithACommaAndTextAfterTheLastCommaIsNoEntry)
{
    EXPECT_TRUE(Accepts("7.0.43.5", "7.0.43.5,7.0.61.1,"));
    EXPECT_TRUE(Accepts("7.0.61.1", "7.0.43.5,7.0.61.1,"));
    EXPECT_FALSE(Accepts("7.0.61.1", "7.0.43.5,7.0.61.1"));
    EXPECT_FALSE(Accepts("7.0.43.5", "7.0.43.5"));
    EXPECT_TRUE(Accepts("7,0,43,5", "7.0.43.5,"));
    EXPECT_TRUE(Accepts("7.0.43", "7.0.99,"));
    EXPECT_TRUE(Accepts("7.0.65579.5", "7.0.43.5,"));
    EXPECT_EQ(Sim().messageBoxes.size(), 2u);
    EXPECT_EQ(Sim().messageBoxes[0].text, "Incorrect product version installed");
}

TEST_F(GateTest, AnUnreportedVersionIsAcceptedOnlyByAnEntryOfFourZeros)
{
    EXPECT_FALSE(Accepts("", "7.0.43.5,7.0.61.1,"));
    EXPECT_TRUE(Accepts("", "7.0.43.5,,"));
    EXPECT_TRUE(Accepts("", ",7.0.43.5,"));
    EXPECT_TRUE(Accepts("", "7,"));
}
