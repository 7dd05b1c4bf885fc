// The framework subset: string sharing and growth, formatting, lists, maps, text files.
#include "framework/framework.h"
#include "tests/unit/test_machine.h"

using FrameworkTest = MachineTest;

TEST_F(FrameworkTest, StringCopiesShareUntilOneIsChanged)
{
    CString a("alpha,beta");
    CString b = a;
    EXPECT_EQ(static_cast<const char*>(a), static_cast<const char*>(b));
    EXPECT_EQ(b.Replace(',', '.'), 1);
    EXPECT_STREQ(a, "alpha,beta");
    EXPECT_STREQ(b, "alpha.beta");
}

TEST_F(FrameworkTest, StringSearchAndSlicesStayInBounds)
{
    const CString s("key=value=more");
    EXPECT_EQ(s.Find('='), 3);
    EXPECT_EQ(s.Find('=', 4), 9);
    EXPECT_EQ(s.Find('x'), -1);
    EXPECT_EQ(s.Find("=m"), 9);
    EXPECT_EQ(s.Find('=', 99), -1);
    EXPECT_STREQ(s.Left(3), "key");
    EXPECT_STREQ(s.Left(99), "key=value=more");
    EXPECT_STREQ(s.Mid(4), "value=more");
    EXPECT_STREQ(s.Mid(99), "");
    EXPECT_STREQ(s.Mid(4, 5), "value");
    EXPECT_STREQ(s.Mid(10, 99), "more");
}

TEST_F(FrameworkTest, AppendingToItselfAndManyTimesKeepsEveryCharacter)
{
    CString s("ab");
    s += s;
    EXPECT_STREQ(s, "abab");
    CString big;
    for (int i = 0; i < 10000; ++i)
        big += "x,";
    EXPECT_EQ(big.GetLength(), 20000);
    EXPECT_STREQ(CString("a") + "b" + CString("c"), "abc");
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

TEST_F(FrameworkTest, LoadStringTakesRowsOfAnyLength)
{
    const std::string longRow(70000, 'r');
    SimSetString(10, std::string(255, 'a'));
    SimSetString(11, std::string(1023, 'b'));
    SimSetString(12, longRow.substr(0, 65535));
    CString s;
    EXPECT_TRUE(s.LoadString(10));
    EXPECT_EQ(s.GetLength(), 255);
    EXPECT_TRUE(s.LoadString(11));
    EXPECT_EQ(s.GetLength(), 1023);
    EXPECT_TRUE(s.LoadString(12));
    EXPECT_EQ(s.GetLength(), 65535);
    EXPECT_FALSE(s.LoadString(13));
    EXPECT_TRUE(s.IsEmpty());
}

TEST_F(FrameworkTest, ExhaustedMemoryRaisesTheMemoryExceptionAndKeepsTheOldValue)
{
    CString s("old");
    Sim().allocationsBeforeFailure = 0;
    bool bCaught = false;
    try {
        s = "new value";
    } catch (CException* e) {
        bCaught = dynamic_cast<CMemoryException*>(e) != nullptr;
        e->Delete();
    }
    EXPECT_TRUE(bCaught);
    EXPECT_STREQ(s, "old");
}

TEST_F(FrameworkTest, StringListInsertsAfterAPositionAndWalksInOrder)
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
    EXPECT_EQ(list.GetCount(), 4);
}

TEST_F(FrameworkTest, MapReplacesValuesAndFindsEveryKeyAfterGrowing)
{
    CMapStringToString map;
    for (int i = 0; i < 2000; ++i) {
        CString key;
        key.Format("k%d", i);
        map.SetAt(key, key + "v");
    }
    map.SetAt("k7", "seven");
    CString value;
    EXPECT_TRUE(map.Lookup("k7", value));
    EXPECT_STREQ(value, "seven");
    EXPECT_TRUE(map.Lookup("k1999", value));
    EXPECT_STREQ(value, "k1999v");
    EXPECT_FALSE(map.Lookup("K7", value));
    EXPECT_EQ(map.GetCount(), 2000);
}

TEST_F(FrameworkTest, TextFilesReadBothLineEndsAndWriteCrLf)
{
    SimWriteFile("C:\\in.txt", "one\r\ntwo\nthree");
    CStdioFile in;
    ASSERT_TRUE(in.Open("C:\\in.txt", CFile::modeRead | CFile::typeText));
    CString line;
    std::vector<std::string> lines;
    while (in.ReadString(line))
        lines.push_back(static_cast<const char*>(line));
    in.Close();
    EXPECT_EQ(lines, (std::vector<std::string>{"one", "two", "three"}));

    CStdioFile out;
    ASSERT_TRUE(out.Open("C:\\out.txt", CFile::modeCreate | CFile::modeWrite | CFile::typeText));
    out.WriteString("a\nb\n");
    out.Close();
    std::string content;
    ASSERT_TRUE(SimReadFile("C:\\out.txt", content));
    EXPECT_EQ(content, "a\r\nb\r\n");
}

TEST_F(FrameworkTest, FileErrorsRaiseFileExceptions)
{
    SimWriteFile("C:\\in.txt", "line\r\n");
    Sim().failRead.insert("C:\\in.txt");
    CStdioFile in;
    ASSERT_TRUE(in.Open("C:\\in.txt", CFile::modeRead));
    CString line;
    int nCaught = 0;
    try {
        in.ReadString(line);
    } catch (CException* e) {
        nCaught += dynamic_cast<CFileException*>(e) != nullptr;
        e->Delete();
    }
    try {
        CFile::Remove("C:\\missing.txt");
    } catch (CException* e) {
        nCaught += dynamic_cast<CFileException*>(e) != nullptr;
        e->Delete();
    }
    EXPECT_EQ(nCaught, 2);
}
