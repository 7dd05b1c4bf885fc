// Tests of the cabinet directory reader on hand-made cabinet headers.
#include <gtest/gtest.h>

#include <stdexcept>

#include "cabdir.h"

using namespace msp;

namespace {

void Put(std::vector<uint8_t>& b, uint32_t v, int bytes)
{
    // Little endian; bytes beyond the value's four are zero.
    for (int i = 0; i < bytes; ++i)
        b.push_back(static_cast<uint8_t>(i < 4 ? v >> (8 * i) : 0));
}

// A cabinet header with one folder entry and the given files (no data blocks).
std::vector<uint8_t> Cabinet(const std::vector<std::pair<std::string, uint32_t>>& files, uint16_t flags = 0)
{
    std::vector<uint8_t> b;
    Put(b, 0x4643534D, 4);  // "MSCF"
    Put(b, 0, 4);
    Put(b, 0, 4);  // total size (not checked)
    Put(b, 0, 4);
    Put(b, 36 + 8, 4);  // first file entry after the header and one folder entry
    Put(b, 0, 4);
    Put(b, 0x0103, 2);  // version 1.3
    Put(b, 1, 2);       // folders
    Put(b, static_cast<uint32_t>(files.size()), 2);
    Put(b, flags, 2);
    Put(b, 0, 2);
    Put(b, 0, 2);
    Put(b, 0, 8);  // the folder entry
    for (size_t i = 0; i < files.size(); ++i) {
        Put(b, files[i].second, 4);
        Put(b, 0, 4);
        Put(b, 0, 2);
        Put(b, 0, 2);
        Put(b, 0, 2);
        Put(b, 0x20, 2);
        b.insert(b.end(), files[i].first.begin(), files[i].first.end());
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
