// The patch description resource: each step's failure code, and a NUL ending the text (the fuzz model reads the rest).
#include "description/description.h"
#include "tests/unit/test_machine.h"

using DescriptionTest = MachineTest;

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
                 {true, false, false, std::string("PatchTitle=T\r\n\0PatchGUID={G}\r\n", 30), 0,
                  " PATCHTITLE=\"T\" PATCHGUID=\"\""}};
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
