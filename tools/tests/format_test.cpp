// Tests of the transform encoding's checks: what a table cannot hold, column types. (The encoding itself is
// proven by the end-to-end tests, whose patches the installer applies.)
#include <gtest/gtest.h>

#include <stdexcept>

#include "mspformat.h"

using namespace msp;

namespace {

TableSchema FileLike()
{  // File, FileSize i4, Attributes I2 (nullable), Name L255
    return TableSchema{"File",
                       {{"File", true, 2, true, false},
                        {"FileSize", false, 4, false, false},
                        {"Attributes", false, 2, false, true},
                        {"Name", true, 2, false, true}}};
}

}  // namespace

TEST(Row, RejectsWhatTheTableCannotHold)
{
    StringPool pool;
    Bytes s;
    const TableSchema t = FileLike();
    EXPECT_THROW(AppendRow(s, t, {Field::Number(1), Field::Number(1), Field::None(), Field::None()}, true, 0, pool),
                 std::runtime_error);  // integer in a string key
    EXPECT_THROW(AppendRow(s, t, {Field::String("k"), Field::String("x"), Field::None(), Field::None()}, true, 0, pool),
                 std::runtime_error);  // text in an integer column
    EXPECT_THROW(AppendRow(s, t, {Field::String("k"), Field::None(), Field::None(), Field::None()}, true, 0, pool),
                 std::runtime_error);  // null in a non-nullable column
    EXPECT_THROW(
        AppendRow(s, t, {Field::String("k"), Field::Number(1), Field::Number(40000), Field::None()}, true, 0, pool),
        std::runtime_error);                                                                 // does not fit an i2
    EXPECT_THROW(AppendRow(s, t, {Field::String("k")}, true, 0, pool), std::runtime_error);  // too few fields
    EXPECT_THROW(AppendRow(s, t, {Field::String("k"), Field::Number(1), Field::None(), Field::None()}, false, 1, pool),
                 std::runtime_error);  // bit 0 would mean a whole row
    EXPECT_TRUE(s.empty());            // a rejected row leaves nothing behind
}

TEST(ColumnType, ReadsTheInstallersTypeStrings)
{
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
    EXPECT_FALSE(ParseColumnType("v0", &c));  // stream column
    EXPECT_FALSE(ParseColumnType("i3", &c));
    EXPECT_FALSE(ParseColumnType("s7x", &c));
}
