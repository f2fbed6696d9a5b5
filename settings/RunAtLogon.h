// The Run value "Velmora" that starts the program at log-on.
#pragma once

#include <string>

namespace settings {

// Writes the value (enabled) or deletes it. The Run key is opened, never
// created; failures are not reported.
void ApplyRunAtLogon(bool enabled);

extern const char* const kRunKeyPath;
extern const char* const kRunValueName;

} // namespace settings
