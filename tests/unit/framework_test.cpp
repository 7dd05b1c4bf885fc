// The framework subset: string sharing and growth, formatting, lists, maps, exceptions.
#include "framework/framework.h"
#include "tests/unit/test_machine.h"

using FrameworkTest = MachineTest;

TEST_F(FrameworkTest, StringsShareUntilChangedAndSlicesStayInBounds)
{
    CString a("key=value=more");
    CString b = a;
    EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(b));
    EXPECT_EQ(b.Replace('=', '.'), 2);
    EXPECT_STREQ(a, "key=value=more");
    EXPECT_STREQ(b, "key.value.more");
    const struct {
        int nGot, nWant;
    } finds[] = {{a.Find('='), 3}, {a.Find('=', 4), 9}, {a.Find('x'), -1}, {a.Find("=m"), 9}, {a.Find('=', 99), -1}};
    for (const auto& f : finds)
        EXPECT_EQ(f.nGot, f.nWant);
    EXPECT_STREQ(a.Left(3) + "|" + a.Left(99) + "|" + a.Mid(4) + "|" + a.Mid(99) + "|" + a.Mid(4, 5) + "|" +
                     a.Mid(10, 99),
                 "key|key=value=more|value=more||value|more");
    // A NUL inside a string is a character like any other.
    CString n("a\0a,\0b", 6);
    EXPECT_EQ(n.Replace('\0', '.'), 2);
    EXPECT_EQ(n.Find(",."), 3);
    EXPECT_EQ(std::string(n, 6), "a.a,.b");
    CString s("ab");
    s += s;
    for (int i = 0; i < 10000; ++i)
        s += "x,";
    EXPECT_EQ(s.GetLength(), 20004);
    EXPECT_EQ(s.Find("abab"), 0);
}

TEST_F(FrameworkTest, FormatWritesNumbersAndTextsAndNeverReadsMissingArguments)
{
    CString s;
    s.Format("%s,%d", "NAME", -4);
    EXPECT_STREQ(s, "NAME,-4");
    s.Format("100%% %u %s", 7u);
    EXPECT_STREQ(s, "100% 7 ");
    s.Format("%x %5d", 1);
    EXPECT_STREQ(s, "%x %5d");
    char szSmall[6];
    const FormatArg aArgs[] = {FormatArg("abcdefgh")};
    EXPECT_EQ(FormatText(szSmall, sizeof szSmall, "[%s]", aArgs, 1), 10u);
    EXPECT_STREQ(szSmall, "[abcd");
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

TEST_F(FrameworkTest, ListsInsertAfterAPositionAndMapsFindEveryKeyAfterGrowing)
{
    CStringList list;
    POSITION head = list.AddHead("K");
    list.InsertAfter(head, "M");
    list.InsertAfter(head, "N");
    list.AddTail("Z");
    std::string walked;
    for (POSITION pos = list.GetHeadPosition(); pos != NULL;)
        walked += static_cast<const char*>(list.GetNext(pos));
    EXPECT_EQ(walked, "KNMZ");

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
