#include "engine/CloseAnswers.h"

namespace engine {

std::optional<bool> CloseAnswers::RequestAnswered(bool windowThere) {
    requestAnswered = true;
    // Undecided without a question: not counted rather than counted wrongly.
    if (windowThere || !questionSent)
        return windowThere;
    return std::nullopt;
}

std::optional<bool> CloseAnswers::QuestionAnswered(int64_t titleLength) {
    return !requestAnswered || titleLength != 0;
}

} // namespace engine
