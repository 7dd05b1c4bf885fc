// Lists the files of a cabinet (names and sizes) from its header, without extracting.
#include "cabdir.h"

#include <stdexcept>

namespace msp {
namespace {

uint32_t Read(const std::vector<uint8_t>& b, size_t at, int bytes)
{
    if (at + bytes > b.size())
        throw std::runtime_error("cabinet truncated");
    uint32_t v = 0;
    for (int i = bytes - 1; i >= 0; --i)
        v = (v << 8) | b[at + i];
    return v;
}

}  // namespace

std::map<std::string, uint32_t> ListCabinet(const std::vector<uint8_t>& image)
{
    if (image.size() < 36 || Read(image, 0, 4) != 0x4643534Du)  // "MSCF"
        throw std::runtime_error("not a cabinet");
    const uint32_t filesAt = Read(image, 16, 4);
    const uint32_t count = Read(image, 28, 2);
    const uint32_t flags = Read(image, 30, 2);
    if (flags & 3)
        throw std::runtime_error("cabinet is part of a set");
    std::map<std::string, uint32_t> files;
    size_t at = filesAt;
    for (uint32_t i = 0; i < count; ++i) {
        const uint32_t size = Read(image, at, 4);
        size_t end = at + 16;
        while (Read(image, end, 1) != 0)
            ++end;
        files[std::string(image.begin() + at + 16, image.begin() + end)] = size;
        at = end + 1;
    }
    return files;
}

}  // namespace msp
