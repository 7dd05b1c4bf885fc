// Whole files in and out, for the tools: a file read to its end, bytes written to a descriptor to their end.
#pragma once

#include <string>

namespace check {

// FALSE with errno set when the file cannot be opened or read to its end.
bool ReadWholeFile(const std::string& path, std::string& bytes);

// FALSE when the bytes could not all be written to the file descriptor.
bool WriteAll(int fd, const std::string& bytes);

}  // namespace check
