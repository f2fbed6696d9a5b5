#include "engine/OpenBrowserWindows.h"

namespace engine {

void OpenBrowserWindows::ForgetGone(const std::function<bool(WindowId)>& isAlive) {
    for (auto it = windows_.begin(); it != windows_.end();) {
        if (isAlive(*it))
            ++it;
        else
            it = windows_.erase(it);
    }
}

} // namespace engine
