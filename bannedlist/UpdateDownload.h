// Fetching the update list over HTTP.
#pragma once

#include <string>

namespace listfile {

// The update address: VELMORA_UPDATE_URL when set, else the maker's server.
std::string UpdateUrl();

// Downloads url into target (relative to the current folder) and replaces
// it only when the server answered with success; an unreachable server or
// an error status leaves target as it was. Blocks until done.
bool DownloadToFile(const std::string& url, const std::string& target);

} // namespace listfile
