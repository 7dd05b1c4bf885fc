// Reading a compiled resource file (.res, 32-bit format) into a configuration.
#pragma once

#include <string>
#include <string_view>

#include "configuration.h"

namespace check {

struct ResourceFile {
    Configuration config;  // rows, descriptions, and whether the package is there (not its summary)
    std::string package;   // the package's bytes, when config.package.present
};

// Throws std::runtime_error when the file is not a well-formed resource file; reads nothing
// outside the bytes.
ResourceFile ReadResourceFile(std::string_view bytes);

}  // namespace check
