// The framework subset: string sharing and growth, row loading, maps, exceptions (the fuzz model covers the rest of
// CString and the formatter).
#include "framework/framework.h"
#include "tests/unit/test_machine.h"

using FrameworkTest = MachineTest;

TEST_F(FrameworkTest, StringsShareUntilChangedAndGrowFromThemselves)
{
    CString a("key=value=more");
    CString b = a;
    EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(b));
    EXPECT_EQ(b.Replace('=', '.'), 2);
    EXPECT_STREQ(a, "key=value=more");
    EXPECT_STREQ(b, "key.value.more");
    // A copy of a string with room to grow in place still grows apart from it.
    CString c("x");
    c += "y";
    CString d = c;
    d += "z";
    EXPECT_STREQ(c, "xy");
    EXPECT_STREQ(d, "xyz");
    CString s("ab");
    s += s;
    for (int i = 0; i < 10000; ++i)
        s += "x,";
    EXPECT_EQ(s.GetLength(), 20004);
    EXPECT_EQ(s.Find("abab"), 0);
}

TEST_F(FrameworkTest, LoadStringTakesRowsOfAnyLengthAlsoFromADoubleByteLoader)
{
    CString s;
    for (bool bDoubleByte : {false, true}) {
        Sim().bDoubleByteLoader = bDoubleByte;
        for (size_t nLength : {254, 255, 300, 1022, 1023, 1500, 65535}) {
            SimSetString(10, std::string(nLength, 'r'));
            EXPECT_TRUE(s.LoadString(10));
            EXPECT_EQ(s.GetLength(), static_cast<int>(nLength)) << bDoubleByte;
        }
    }
    EXPECT_FALSE(s.LoadString(13));
    EXPECT_TRUE(s.IsEmpty());
}

TEST_F(FrameworkTest, ExhaustedMemoryOrAStringLongerThanTheLongestRaisesTheMemoryExceptionAndKeepsTheOldValue)
{
    CString s(std::string(0x8000001, 's').c_str());  // twice that is longer than the longest string
    EXPECT_TRUE(Raises<CMemoryException>([&] { s += s; }));
    EXPECT_EQ(s.GetLength(), 0x8000001);
    s = "old";
    Sim().allocationsBeforeFailure = 0;
    EXPECT_TRUE(Raises<CMemoryException>([&] { s = "new value"; }));
    EXPECT_STREQ(s, "old");
}

TEST_F(FrameworkTest, MapsFindEveryKeyAfterGrowing)
{
    CMapStringToString map;
    for (int i = 0; i < 2000; ++i) {
        CString key;
        key.Format("k%d", i);
        map.SetAt(key, key + "v");
    }
    map.SetAt("k7", "seven");
    CString value;
    EXPECT_TRUE(map.Lookup("k7", value) && value == "seven");
    EXPECT_TRUE(map.Lookup("k1999", value) && value == "k1999v");
    EXPECT_FALSE(map.Lookup("K7", value));
    EXPECT_EQ(map.GetCount(), 2000);
}
