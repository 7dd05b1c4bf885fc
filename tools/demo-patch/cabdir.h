// Lists the files of a cabinet (names and sizes) from its header, without extracting.
#ifndef TOOLS_CABDIR_H
#define TOOLS_CABDIR_H

#include <cstdint>
#include <map>
#include <string>
#include <vector>

namespace msp {

// Name -> uncompressed size of every file in the cabinet image; throws
// std::runtime_error if the image is not a well-formed single cabinet.
std::map<std::string, uint32_t> ListCabinet(const std::vector<uint8_t>& image);

}  // namespace msp

#endif
