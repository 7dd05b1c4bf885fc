// The product catalogue: bands and gaps, tags, installed states, versions, the title.
#include "app/catalogue.h"
#include "app/globals.h"
#include "tests/unit/test_machine.h"

class CatalogueTest : public MachineTest {
protected:
    void TearDown() override
    {
        Clear();
        MachineTest::TearDown();
    }
    void Clear()
    {
        for (int i = 0; i < m_arr.GetSize(); ++i)
            delete m_arr.GetAt(i);
        m_arr.RemoveAll();
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
    for (int i = 0; i < 6; ++i)
        AddProductRows(i, i == 5 ? "not-a-guid" : ProductCode(i % 4));  // product 4 repeats product 0's code
    Install(ProductCode(0), "7.0.43.5");
    Install(ProductCode(2), "7.0.61.1").state = INSTALLSTATE_ADVERTISED;
    Install(ProductCode(3), "7.0.43.5").state = 2;  // installed for another user
    Install(ProductCode(1), "9.9").bReportsVersion = false;
    SimSetString(IDS_PRODUCT_HOST_KEYS + 2, "U1:Software\\Tessaran\\Corvane\\R16.0\\CORV-203:409");
    LoadProductCatalogue(m_arr);
    EXPECT_EQ(Codes(), (std::vector<std::string>{ProductCode(0), ProductCode(1), ProductCode(2), ProductCode(0)}));
    const CProductRecord& r = *m_arr.GetAt(2);
    EXPECT_STREQ(
        r.m_strTag + "|" + r.m_strName + "|" + r.m_strLanguage + "|" + r.m_strTargetVersion + "|" + r.m_strHostKey +
            "|" + r.m_strAcceptedVersions + "|" + r.m_strInstalledVersion,
        "U1|Product 2|1033|7.1.0.5|Software\\Tessaran\\Corvane\\R16.0\\CORV-203:409|7.0.43.5,7.0.61.1,|7.0.61.1");
    EXPECT_STREQ(m_arr.GetAt(1)->m_strInstalledVersion, "");
    EXPECT_TRUE(!r.m_bNetworkInstall && r.m_strPackagePath.IsEmpty() && r.m_strCommandLine.IsEmpty());
    // One state query per complete product, one version query per installed one.
    EXPECT_EQ(SimCallsStartingWith("MsiQueryProductStateA").size(), 6u);
    EXPECT_EQ(SimCallsStartingWith("MsiGetProductInfoA").size(), 4u);
}

TEST_F(CatalogueTest, TheFirstAbsentRowEndsTheCatalogueEvenAnUnusedOne)
{
    for (int i = 0; i < 60; ++i) {
        AddProductRows(i, ProductCode(i));
        Install(ProductCode(i), "7.0.43.5");
    }
    Sim().strings.erase(IDS_PRODUCT_TARGET_VERSIONS + 40);  // never used, but it must be there
    Sim().strings.erase(IDS_PRODUCT_NAMES + 50);
    LoadProductCatalogue(m_arr);
    EXPECT_EQ(m_arr.GetSize(), 40);

    SimSetString(IDS_PRODUCT_TARGET_VERSIONS + 40, "U1:");  // a row holding only its tag is present
    Clear();
    LoadProductCatalogue(m_arr);
    EXPECT_EQ(m_arr.GetSize(), 50);
}

TEST_F(CatalogueTest, TheTitleComesFromTheFirstCompleteNamedProductAndTheTagFromTheNameRow)
{
    for (int i = 0; i < 3; ++i)
        AddProductRows(i, ProductCode(i));
    SimSetString(IDS_PRODUCT_NAMES, "U1:");
    SimSetString(IDS_PRODUCT_NAMES + 2, "Untagged name");
    SimSetString(IDS_PRODUCT_CODES + 2, "X:" + ProductCode(2));
    Install(ProductCode(2), "7.0.43.5");
    LoadProductCatalogue(m_arr);
    EXPECT_STREQ(g_strTitle, "Product 1");
    ASSERT_EQ(Codes(), (std::vector<std::string>{ProductCode(2)}));
    EXPECT_STREQ(m_arr.GetAt(0)->m_strTag + "|" + m_arr.GetAt(0)->m_strName, "|Untagged name");
}

TEST_F(CatalogueTest, NeverHoldsMoreProductsThanThereAreSnapshots)
{
    // Rows past 499 spill into the following bands; only the snapshot count bounds them.
    for (unsigned id = IDS_PRODUCT_NAMES; id < IDS_PRODUCT_NAMES + 1000; ++id)
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
        Clear();
        Sim().allocationsBeforeFailure = n;
        Sim().failingAllocations = 1;
        const bool bThrown = Raises([this] { LoadProductCatalogue(m_arr); });
        for (int i = 0; i < m_arr.GetSize(); ++i)
            EXPECT_STREQ(m_arr.GetAt(i)->m_strInstalledVersion, ("7.0." + std::to_string(i)).c_str());
        if (!bThrown) {
            EXPECT_EQ(m_arr.GetSize(), 3);
            break;
        }
        EXPECT_LT(m_arr.GetSize(), 3);
    }
}
