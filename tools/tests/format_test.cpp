// Tests of the transform encoding: stream names, string pool and row layout.
#include <gtest/gtest.h>

#include <stdexcept>

#include "mspformat.h"

using namespace msp;

namespace {

TableSchema FileLike() {  // File, FileSize i4, Attributes I2 (nullable), Name L255
    return TableSchema{"File", {{"File", true, 2, true, false}, {"FileSize", false, 4, false, false},
                                {"Attributes", false, 2, false, true}, {"Name", true, 2, false, true}}};
}

}  // namespace

TEST(StreamName, MatchesTheInstallersNameForTables) {
    // The installer's own name for its _Tables stream.
    EXPECT_EQ(EncodeStreamName("_Tables", true), (std::u16string{0x4840, 0x3f7f, 0x4164, 0x422f, 0x4836}));
}

TEST(StreamName, RawStreamsHaveNoTablePrefixAndOddCharactersPassThrough) {
    const std::u16string cab = EncodeStreamName("PCW_CAB_SP1", false);
    ASSERT_FALSE(cab.empty());
    EXPECT_NE(cab[0], char16_t(0x4840));
    EXPECT_EQ(cab.size(), 6u);  // 11 characters: five pairs and a lone one
    EXPECT_EQ(cab.back(), char16_t(0x4800 + 1));
    // '#' is outside the alphabet: it stays, and breaks the pairing around it.
    EXPECT_EQ(EncodeStreamName("a#b", false), (std::u16string{0x4800 + 36, u'#', 0x4800 + 37}));
}

TEST(StringPool, SharesIdsCountsReferencesAndKeepsZeroForNull) {
    StringPool pool;
    EXPECT_EQ(pool.Id(""), 0);
    EXPECT_EQ(pool.Id("Property"), 1);
    EXPECT_EQ(pool.Id("Value"), 2);
    EXPECT_EQ(pool.Id("Property"), 1);
    const Bytes header_and_pairs = pool.PoolStream();
    EXPECT_EQ(header_and_pairs, (Bytes{0, 0, 0, 0, 8, 0, 2, 0, 5, 0, 1, 0}));
    const Bytes data = pool.DataStream();
    EXPECT_EQ(std::string(data.begin(), data.end()), "PropertyValue");
}

TEST(Row, WholeRowCarriesColumnCountAndEveryField) {
    StringPool pool;
    Bytes s;
    AppendRow(s, FileLike(), {Field::String("F_P"), Field::Number(16), Field::None(), Field::String("p.txt")}, true, 0,
              pool);
    // mask 0x0401; "F_P" id 1; 16 ^ 0x80000000; null i2 = 0; "p.txt" id 2
    EXPECT_EQ(s, (Bytes{0x01, 0x04, 1, 0, 16, 0, 0, 0x80, 0, 0, 2, 0}));
}

TEST(Row, PartialRowHasKeysAndOnlyTheSelectedColumns) {
    StringPool pool;
    Bytes s;
    AppendRow(s, FileLike(), {Field::String("F_P"), Field::None(), Field::Number(-2), Field::None()}, false, 1u << 2,
              pool);
    EXPECT_EQ(s, (Bytes{0x04, 0x00, 1, 0, 0xFE, 0x7F}));  // -2 + 0x8000 = 0x7FFE
}

TEST(Row, RejectsWhatTheTableCannotHold) {
    StringPool pool;
    Bytes s;
    const TableSchema t = FileLike();
    EXPECT_THROW(AppendRow(s, t, {Field::Number(1), Field::Number(1), Field::None(), Field::None()}, true, 0, pool),
                 std::runtime_error);  // integer in a string key
    EXPECT_THROW(AppendRow(s, t, {Field::String("k"), Field::String("x"), Field::None(), Field::None()}, true, 0, pool),
                 std::runtime_error);  // text in an integer column
    EXPECT_THROW(AppendRow(s, t, {Field::String("k"), Field::None(), Field::None(), Field::None()}, true, 0, pool),
                 std::runtime_error);  // null in a non-nullable column
    EXPECT_THROW(AppendRow(s, t, {Field::String("k"), Field::Number(1), Field::Number(40000), Field::None()}, true, 0,
                           pool), std::runtime_error);  // does not fit an i2
    EXPECT_THROW(AppendRow(s, t, {Field::String("k")}, true, 0, pool), std::runtime_error);  // too few fields
    EXPECT_THROW(AppendRow(s, t, {Field::String("k"), Field::Number(1), Field::None(), Field::None()}, false, 1, pool),
                 std::runtime_error);  // bit 0 would mean a whole row
    EXPECT_TRUE(s.empty());  // a rejected row leaves nothing behind
}

TEST(ColumnType, ReadsTheInstallersTypeStrings) {
    Column c;
    ASSERT_TRUE(ParseColumnType("s72", &c));
    EXPECT_TRUE(c.isString);
    EXPECT_FALSE(c.nullable);
    ASSERT_TRUE(ParseColumnType("L255", &c));
    EXPECT_TRUE(c.isString && c.nullable);
    ASSERT_TRUE(ParseColumnType("i4", &c));
    EXPECT_EQ(c.bytes, 4);
    ASSERT_TRUE(ParseColumnType("I2", &c));
    EXPECT_TRUE(!c.isString && c.bytes == 2 && c.nullable);
    EXPECT_FALSE(ParseColumnType("v0", &c));   // stream column
    EXPECT_FALSE(ParseColumnType("i3", &c));
    EXPECT_FALSE(ParseColumnType("s7x", &c));
}
