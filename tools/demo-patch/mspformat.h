// Installer database transform encoding: stream names, string pool and table rows.
#ifndef TOOLS_MSPFORMAT_H
#define TOOLS_MSPFORMAT_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace msp {

typedef std::vector<uint8_t> Bytes;

// Name of a stream as the installer stores it: character pairs from [0-9A-Za-z._]
// packed into one code unit; a table stream (and the string pool) starts with 0x4840.
std::u16string EncodeStreamName(const std::string& name, bool table);

// One column of a table as a transform row needs it.
struct Column {
    std::string name;
    bool isString;  // string or stream-less text column: a 2-byte pool reference
    int bytes;      // 2 or 4 for integer columns
    bool key;
    bool nullable;
};

struct TableSchema {
    std::string name;
    std::vector<Column> columns;
    int Find(const std::string& column) const;  // index or -1
};

// Parses an installer column type such as "s72", "L255", "i2", "I4"; false if it is
// not one a transform row can carry (streams).
bool ParseColumnType(const std::string& type, Column* out);

// A field of a row: null, an integer or a string.
struct Field {
    enum Kind { Null, Int, Text } kind;
    long value;
    std::string text;
    static Field None() { return Field{Null, 0, std::string()}; }
    static Field Number(long v) { return Field{Int, v, std::string()}; }
    static Field String(const std::string& s) { return Field{Text, 0, s}; }
};

// The transform's own string pool; id 0 is the null string.
class StringPool {
public:
    uint16_t Id(const std::string& s);  // adds s (counting a reference) if needed
    Bytes PoolStream() const;           // header (code page 0, 2-byte refs) + (len, refs) pairs
    Bytes DataStream() const;           // the strings concatenated
    size_t Size() const { return strings_.size(); }

private:
    std::vector<std::string> strings_;
    std::vector<uint16_t> refs_;
    std::map<std::string, uint16_t> ids_;
};

// Appends one row to a table stream. With whole == true every column is written
// (mask 1 | count << 8: inserted, or replaced when the key exists); otherwise only the
// keys and the columns set in `present` (bit i = column i). `fields` has one entry per
// column; absent ones are ignored. Throws std::runtime_error on a type mismatch.
void AppendRow(Bytes& stream, const TableSchema& table, const std::vector<Field>& fields, bool whole, uint32_t present,
               StringPool& pool);

// Column type codes as stored in _Columns, for tables a transform creates.
enum : uint16_t {
    kTypeKey = 0x2000,
    kTypeNullable = 0x1000,
    kTypeString = 0x0D00,
    kTypeInt2 = 0x0502,
    kTypeInt4 = 0x0104
};

}  // namespace msp

#endif
