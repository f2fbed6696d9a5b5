// What the two answers to a close request tell: whether the window's thread
// took the request. Portable.
//
// The request (SC_CLOSE) and, right after it, a question (the title's
// length) are sent without waiting. The window's thread takes them in turn,
// and Wine answers a message whose window was destroyed while it waited just
// as one the window handled. So the question answered first means the thread
// had taken the request and the window went while it handled it, taking the
// question along. The request answered first, the window still there: it
// was handled. The window gone by then: the question's answer tells, the
// title's length (the window was there when the thread came to it) or 0
// (destroyed with both waiting, by its own program).
#pragma once

#include <cstdint>
#include <optional>

namespace engine {

class CloseAnswers {
public:
    // questionSent is false when the window went between the two messages:
    // taken as the request's doing.
    explicit CloseAnswers(bool sentQuestion) : questionSent(sentQuestion) {}

    // Each gives whether the thread took the request, once that is known.
    std::optional<bool> RequestAnswered(bool windowThere);
    std::optional<bool> QuestionAnswered(int64_t titleLength);

private:
    bool questionSent;
    bool requestAnswered = false;
};

} // namespace engine
