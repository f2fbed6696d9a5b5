#include "engine/CloseAnswers.h"

namespace engine {

std::optional<bool> CloseAnswers::RequestAnswered(bool windowThere) {
    requestAnswered = true;
    // Gone before the question could follow the request: it went in the
    // instant after the request reached it, which its thread had taken (a
    // fast thread on another processor does so that quickly; its own
    // program ending it just then is the far less likely case).
    if (windowThere || !questionSent)
        return true;
    return std::nullopt;
}

std::optional<bool> CloseAnswers::QuestionAnswered(int64_t titleLength) {
    return !requestAnswered || titleLength != 0;
}

} // namespace engine
