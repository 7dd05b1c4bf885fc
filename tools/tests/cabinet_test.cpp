// Tests of the cabinet directory reader on hand-made cabinet headers.
#include <gtest/gtest.h>

#include <stdexcept>

#include "cabdir.h"

using namespace msp;

namespace {

// Little-endian fields, each of a value and its width in bytes; bytes beyond a value's four are zero.
void Put(std::vector<uint8_t>& b, std::initializer_list<std::pair<uint32_t, int>> fields)
{
    for (const auto& field : fields)
        for (int i = 0; i < field.second; ++i)
            b.push_back(static_cast<uint8_t>(i < 4 ? field.first >> (8 * i) : 0));
}

// A cabinet header with one folder entry and the given files (no data blocks).
std::vector<uint8_t> Cabinet(const std::vector<std::pair<std::string, uint32_t>>& files, uint16_t flags = 0)
{
    std::vector<uint8_t> b;
    // "MSCF", the first file entry after the 36-byte header and one folder entry, version 1.3, one folder.
    Put(b, {{0x4643534D, 4}, {0, 12}, {36 + 8, 4}, {0, 4}, {0x0103, 2}, {1, 2}});
    Put(b, {{static_cast<uint32_t>(files.size()), 2}, {flags, 2}, {0, 4}, {0, 8}});
    for (const auto& file : files) {
        Put(b, {{file.second, 4}, {0, 10}, {0x20, 2}});  // size, folder offset, folder, date, time, attributes
        b.insert(b.end(), file.first.begin(), file.first.end());
        b.push_back(0);
    }
    return b;
}

}  // namespace

TEST(Cabinet, RejectsWhatIsNotOneWholeCabinet)
{
    std::vector<uint8_t> cab = Cabinet({{"F_P", 15}, {"F_HM_SYSTEM_0001", 70000}});
    EXPECT_EQ(ListCabinet(cab), (std::map<std::string, uint32_t>{{"F_P", 15}, {"F_HM_SYSTEM_0001", 70000}}));
    EXPECT_THROW(ListCabinet(std::vector<uint8_t>(cab.begin(), cab.end() - 1)), std::runtime_error);  // name cut
    EXPECT_THROW(ListCabinet(std::vector<uint8_t>(cab.begin(), cab.begin() + 20)), std::runtime_error);
    cab[0] = 'X';
    EXPECT_THROW(ListCabinet(cab), std::runtime_error);
    EXPECT_THROW(ListCabinet(Cabinet({{"F_P", 15}}, 2)), std::runtime_error);  // continues in a next cabinet
}
