// The command line the Run value "Velmora" holds. Portable.
#pragma once

#include <string>

namespace settings {

// The path in double quotes, so that a path with a space can never start
// another program.
std::string RunValueCommand(const std::string& exePath);

} // namespace settings
