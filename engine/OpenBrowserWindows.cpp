#include "engine/OpenBrowserWindows.h"

namespace engine {

void OpenBrowserWindows::ForgetGone(const std::function<bool(WindowId)>& isAlive) {
    for (auto it = windows.begin(); it != windows.end();) {
        if (isAlive(*it))
            ++it;
        else
            it = windows.erase(it);
    }
}

} // namespace engine
