// Running a reader of untrusted files in a child process bounded in time: its crash or hang is a finding.
#pragma once

#include <functional>
#include <string>
#include <vector>

namespace check {

// Runs 'work' in a child process stopped after 'seconds' and gives back the fields it
// returned (at least one; none may hold a NUL). Returns "" on success; otherwise what went wrong, told
// of 'what' the child does: "<what> crashed with signal 11 (...)", "<what> took longer
// than 60 seconds", "no process for <what>: ...".
std::string RunApart(const std::string& what, const std::function<std::vector<std::string>()>& work, unsigned seconds,
                     std::vector<std::string>& fields);

}  // namespace check
