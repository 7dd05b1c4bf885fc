// The embedded package's compound-file header: its fixed fields and the sectors it names, checked on the bytes alone.
#pragma once

#include <string>
#include <string_view>

namespace check {

// Why the bytes cannot be an installer patch by their compound-file header and root
// storage class id; "" when they can. Reads nothing outside the bytes, so the bytes it
// passes may go to a library that trusts the header.
std::string PackageHeaderProblem(std::string_view bytes);

}  // namespace check
