#include "settings/RunValueCommand.h"

namespace settings {

std::string RunValueCommand(const std::string& exePath) {
    return "\"" + exePath + "\"";
}

} // namespace settings
