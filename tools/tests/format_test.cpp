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
    const auto append = [&](const std::vector<Field>& fields, bool whole = true, uint32_t present = 0) {
        AppendRow(s, t, fields, whole, present, pool);
    };
    const Field k = Field::String("k"), none = Field::None(), one = Field::Number(1);
    EXPECT_THROW(append({one, one, none, none}), std::runtime_error);                // integer in a string key
    EXPECT_THROW(append({k, Field::String("x"), none, none}), std::runtime_error);   // text in an integer column
    EXPECT_THROW(append({k, none, none, none}), std::runtime_error);                 // null in a non-nullable column
    EXPECT_THROW(append({k, one, Field::Number(40000), none}), std::runtime_error);  // does not fit an i2
    EXPECT_THROW(append({k}), std::runtime_error);                                   // too few fields
    EXPECT_THROW(append({k, one, none, none}, false, 1), std::runtime_error);        // bit 0 would mean a whole row
    EXPECT_TRUE(s.empty());  // a rejected row leaves nothing behind
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
