#include "settings/RunAtLogon.h"

std::string RunValueCommand(const std::string& exePath) {
    return "\"" + exePath + "\"";
}
