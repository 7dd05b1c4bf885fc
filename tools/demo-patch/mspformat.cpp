// Installer database transform encoding: stream names, string pool and table rows.
#include "mspformat.h"

#include <cstdlib>
#include <stdexcept>

namespace msp {
namespace {

// Index of c in the installer's 64-character name alphabet, or -1.
int NameCharValue(char c)
{
    if (c >= '0' && c <= '9')
        return c - '0';
    if (c >= 'A' && c <= 'Z')
        return c - 'A' + 10;
    if (c >= 'a' && c <= 'z')
        return c - 'a' + 36;
    if (c == '.')
        return 62;
    if (c == '_')
        return 63;
    return -1;
}

void Put16(Bytes& b, uint32_t v)
{
    b.push_back(static_cast<uint8_t>(v & 0xFF));
    b.push_back(static_cast<uint8_t>((v >> 8) & 0xFF));
}

void Put32(Bytes& b, uint32_t v)
{
    Put16(b, v & 0xFFFF);
    Put16(b, v >> 16);
}

}  // namespace

std::u16string EncodeStreamName(const std::string& name, bool table)
{
    std::u16string out;
    if (table)
        out.push_back(char16_t(0x4840));
    for (size_t i = 0; i < name.size(); ++i) {
        const int first = NameCharValue(name[i]);
        if (first < 0) {
            out.push_back(char16_t(static_cast<unsigned char>(name[i])));
            continue;
        }
        const int second = i + 1 < name.size() ? NameCharValue(name[i + 1]) : -1;
        if (second >= 0) {
            out.push_back(char16_t(0x3800 + (second << 6) + first));
            ++i;
        } else {
            out.push_back(char16_t(0x4800 + first));
        }
    }
    return out;
}

int TableSchema::Find(const std::string& column) const
{
    for (size_t i = 0; i < columns.size(); ++i)
        if (columns[i].name == column)
            return static_cast<int>(i);
    return -1;
}

bool ParseColumnType(const std::string& type, Column* out)
{
    if (type.size() < 2)
        return false;
    char* end = nullptr;
    const long size = std::strtol(type.c_str() + 1, &end, 10);
    if (*end != '\0')
        return false;
    const char kind = type[0];
    out->nullable = (kind >= 'A' && kind <= 'Z');
    switch (kind) {
    case 's':
    case 'S':
    case 'l':
    case 'L':
    case 'g':
    case 'G':
        out->isString = true;
        out->bytes = 2;
        return true;
    case 'i':
    case 'I':
    case 'j':
    case 'J':
        if (size != 2 && size != 4)
            return false;
        out->isString = false;
        out->bytes = static_cast<int>(size);
        return true;
    default:
        return false;  // 'v': a stream column
    }
}

uint16_t StringPool::Id(const std::string& s)
{
    if (s.empty())
        return 0;
    std::map<std::string, uint16_t>::iterator it = ids_.find(s);
    if (it != ids_.end()) {
        ++refs_[it->second - 1];
        return it->second;
    }
    if (strings_.size() >= 0xFFFE)
        throw std::runtime_error("string pool full");
    if (s.size() > 0xFFFF)
        throw std::runtime_error("string too long: " + s.substr(0, 40));
    strings_.push_back(s);
    refs_.push_back(1);
    const uint16_t id = static_cast<uint16_t>(strings_.size());
    ids_[s] = id;
    return id;
}

Bytes StringPool::PoolStream() const
{
    Bytes b;
    Put32(b, 0);  // code page 0, 2-byte string references
    for (size_t i = 0; i < strings_.size(); ++i) {
        Put16(b, static_cast<uint32_t>(strings_[i].size()));
        Put16(b, refs_[i]);
    }
    return b;
}

Bytes StringPool::DataStream() const
{
    Bytes b;
    for (size_t i = 0; i < strings_.size(); ++i)
        b.insert(b.end(), strings_[i].begin(), strings_[i].end());
    return b;
}

void AppendRow(Bytes& stream, const TableSchema& table, const std::vector<Field>& fields, bool whole, uint32_t present,
               StringPool& pool)
{
    const size_t count = table.columns.size();
    if (fields.size() != count)
        throw std::runtime_error("row for " + table.name + " has the wrong number of fields");
    if (count > 32 || (!whole && (present & 1)))
        throw std::runtime_error("bad column selection for " + table.name);
    Bytes row;  // built aside so that a rejected row leaves the stream as it was
    Put16(row, whole ? (1u | (static_cast<uint32_t>(count) << 8)) : present);
    for (size_t i = 0; i < count; ++i) {
        const Column& col = table.columns[i];
        if (!whole && !col.key && !(present & (1u << i)))
            continue;
        const Field& f = fields[i];
        const std::string where = table.name + "." + col.name;
        if (f.kind == Field::Null && !col.nullable)
            throw std::runtime_error(where + " may not be null");
        if (col.isString) {
            if (f.kind == Field::Int)
                throw std::runtime_error(where + " wants a string");
            Put16(row, f.kind == Field::Null ? 0 : pool.Id(f.text));
        } else if (f.kind == Field::Text) {
            throw std::runtime_error(where + " wants an integer");
        } else if (col.bytes == 2) {
            if (f.kind == Field::Int && (f.value < -0x7FFF || f.value > 0x7FFF))
                throw std::runtime_error(where + " does not fit in 2 bytes");
            Put16(row, f.kind == Field::Null ? 0 : static_cast<uint32_t>(f.value + 0x8000));
        } else {
            Put32(row, f.kind == Field::Null ? 0 : (static_cast<uint32_t>(f.value) ^ 0x80000000u));
        }
    }
    stream.insert(stream.end(), row.begin(), row.end());
}

}  // namespace msp
