// The product catalogue: bands and gaps, tags, installed states, versions, the title.
#include "app/catalogue.h"
#include "app/globals.h"
#include "framework/exceptions.h"
#include "tests/unit/test_machine.h"

class CatalogueTest : public MachineTest {
protected:
    void TearDown() override
    {
        for (int i = 0; i < m_arr.GetSize(); ++i)
            delete m_arr.GetAt(i);
        m_arr.RemoveAll();
        MachineTest::TearDown();
    }
    std::vector<std::string> Codes() const
    {
        std::vector<std::string> codes;
        for (int i = 0; i < m_arr.GetSize(); ++i)
            codes.push_back(static_cast<const char*>(m_arr.GetAt(i)->m_strProductCode));
        return codes;
    }
    CProductRecordArray m_arr;
};

TEST_F(CatalogueTest, KeepsInstalledAndAdvertisedProductsInOrderWithTheirFields)
{
    for (int i = 0; i < 5; ++i)
        AddProductRows(i, ProductCode(i));
    Install(ProductCode(1), "7.0.43.5");
    Install(ProductCode(2), "7.0.61.1").state = INSTALLSTATE_ADVERTISED;
    Install(ProductCode(3), "7.0.43.5").state = 2;  // installed for another user
    Install(ProductCode(4), "9.9").bReportsVersion = false;
    LoadProductCatalogue(m_arr);
    EXPECT_EQ(Codes(), (std::vector<std::string>{ProductCode(1), ProductCode(2), ProductCode(4)}));
    const CProductRecord& r = *m_arr.GetAt(1);
    EXPECT_STREQ(r.m_strTag, "U1");
    EXPECT_STREQ(r.m_strName, "Product 2");
    EXPECT_STREQ(r.m_strLanguage, "1033");
    EXPECT_STREQ(r.m_strTargetVersion, "7.1.0.5");
    EXPECT_STREQ(r.m_strHostKey, "Software\\Host\\P2");
    EXPECT_STREQ(r.m_strAcceptedVersions, "7.0.43.5,7.0.61.1,");
    EXPECT_STREQ(r.m_strInstalledVersion, "7.0.61.1");
    EXPECT_STREQ(m_arr.GetAt(2)->m_strInstalledVersion, "");
    EXPECT_FALSE(r.m_bNetworkInstall);
    EXPECT_TRUE(r.m_strPackagePath.IsEmpty() && r.m_strCommandLine.IsEmpty());
    // One state query per complete product, one version query per installed one.
    EXPECT_EQ(SimCallsStartingWith("MsiQueryProductStateA").size(), 5u);
    EXPECT_EQ(SimCallsStartingWith("MsiGetProductInfoA").size(), 3u);
    EXPECT_EQ(SimCallsStartingWith("MsiGetProductInfoA")[0],
              "MsiGetProductInfoA(\"" + ProductCode(1) + "\",\"VersionString\",1024)");
}

TEST_F(CatalogueTest, TheFirstAbsentRowEndsTheCatalogueEvenAnUnusedOne)
{
    for (int i = 0; i < 60; ++i) {
        AddProductRows(i, ProductCode(i));
        Install(ProductCode(i), "7.0.43.5");
    }
    Sim().strings.erase(700 + 40);  // the target version is never used, but it must be there
    Sim().strings.erase(400 + 50);
    LoadProductCatalogue(m_arr);
    EXPECT_EQ(m_arr.GetSize(), 40);
    EXPECT_EQ(SimCallsStartingWith("MsiQueryProductStateA").size(), 40u);

    SimSetString(740, "U1:");  // a row holding only its tag still counts as present
    for (int i = 0; i < m_arr.GetSize(); ++i)
        delete m_arr.GetAt(i);
    m_arr.RemoveAll();
    LoadProductCatalogue(m_arr);
    EXPECT_EQ(m_arr.GetSize(), 50);
}

TEST_F(CatalogueTest, OnlyTheFirstColonSeparatesTagFromValue)
{
    AddProductRows(0, ProductCode(0));
    SimSetString(400, "Untagged name");
    SimSetString(800, "U1:Software\\Tessaran\\Corvane\\R16.0\\CORV-203:409");
    SimSetString(500, "X:" + ProductCode(0));
    Install(ProductCode(0), "7.0.43.5");
    LoadProductCatalogue(m_arr);
    ASSERT_EQ(m_arr.GetSize(), 1);
    EXPECT_STREQ(m_arr.GetAt(0)->m_strTag, "");
    EXPECT_STREQ(m_arr.GetAt(0)->m_strName, "Untagged name");
    EXPECT_STREQ(m_arr.GetAt(0)->m_strHostKey, "Software\\Tessaran\\Corvane\\R16.0\\CORV-203:409");
}

TEST_F(CatalogueTest, TheTitleComesFromTheFirstCompleteNamedProductInstalledOrNot)
{
    AddProductRows(0, ProductCode(0));
    AddProductRows(1, ProductCode(1));
    AddProductRows(2, ProductCode(2));
    SimSetString(400, "U1:");
    Install(ProductCode(2), "7.0.43.5");
    LoadProductCatalogue(m_arr);
    EXPECT_STREQ(g_strTitle, "Product 1");
    EXPECT_EQ(Codes(), (std::vector<std::string>{ProductCode(2)}));
}

TEST_F(CatalogueTest, DuplicateCodesAreBothKeptAndBadCodesAreNotInstalled)
{
    AddProductRows(0, ProductCode(0));
    AddProductRows(1, ProductCode(0));
    AddProductRows(2, "not-a-guid");
    AddProductRows(3, ProductCode(3));
    Install(ProductCode(0), "7.0.43.5");
    LoadProductCatalogue(m_arr);
    EXPECT_EQ(Codes(), (std::vector<std::string>{ProductCode(0), ProductCode(0)}));
}

TEST_F(CatalogueTest, NeverHoldsMoreProductsThanThereAreSnapshots)
{
    // Rows past 499 spill into the following bands; only the snapshot count bounds them.
    for (unsigned id = 400; id < 1400; ++id)
        SimSetString(id, "U1:" + ProductCode(0));
    Install(ProductCode(0), "7.0.43.5");
    LoadProductCatalogue(m_arr);
    EXPECT_EQ(m_arr.GetSize(), kMaxProducts);
}

TEST_F(CatalogueTest, ExhaustedMemoryAtAnyPointLeavesOnlyCompleteRecordsKept)
{
    for (int i = 0; i < 3; ++i) {
        AddProductRows(i, ProductCode(i));
        Install(ProductCode(i), "7.0." + std::to_string(i));
    }
    // Fail the n-th allocation for every n until a run completes; the sanitizer build
    // catches any record lost or freed twice on the way out.
    for (long n = 0;; ++n) {
        for (int i = 0; i < m_arr.GetSize(); ++i)
            delete m_arr.GetAt(i);
        m_arr.RemoveAll();
        Sim().allocationsBeforeFailure = n;
        Sim().failingAllocations = 1;
        bool bThrown = false;
        try {
            LoadProductCatalogue(m_arr);
        } catch (CException* e) {
            e->Delete();
            bThrown = true;
        }
        for (int i = 0; i < m_arr.GetSize(); ++i)
            EXPECT_STREQ(m_arr.GetAt(i)->m_strInstalledVersion, ("7.0." + std::to_string(i)).c_str());
        if (!bThrown) {
            EXPECT_EQ(m_arr.GetSize(), 3);
            break;
        }
        EXPECT_LT(m_arr.GetSize(), 3);
    }
}
