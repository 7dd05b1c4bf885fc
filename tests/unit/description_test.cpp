// The patch description resource: each step's failure code (the fuzz model reads the text, and an empty one fails).
#include "description/description.h"
#include "tests/unit/test_machine.h"

using DescriptionTest = MachineTest;

TEST_F(DescriptionTest, EachResourceStepFailsWithItsOwnCode)
{
    const struct {
        bool bPresent, bFailLoad, bFailLock;
        int nCode;
    } cases[] = {{false, false, false, 101}, {true, true, false, 103}, {true, false, true, 104}};
    for (const auto& c : cases) {
        Sim().resources.clear();
        if (c.bPresent) {
            SimResource& r = SimAddResource(SPLAUNCH_DESCRIPTION_NAME, SPLAUNCH_DESCRIPTION_TYPE, "x");
            r.bFailLoad = c.bFailLoad;
            r.bFailLock = c.bFailLock;
        }
        CString strSuffix;
        EXPECT_EQ(LoadPatchDescription(strSuffix), c.nCode);
        EXPECT_TRUE(strSuffix.IsEmpty()) << c.nCode;
    }
}
