// The decisions behind HyperLinkLabel, free of windows: the gradient's bands,
// the text format a static style asks for, and what a click opens.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "controls/ButtonRules.h"

namespace controls {

// One band of a horizontal gradient: columns [left, right) in one colour.
struct GradientBand {
    int left;
    int right;
    Colour colour;
};
constexpr int kMaxGradientBands = 100;
// At most maxBands bands from left to right, from start to end colour; the
// last band takes the remainder of the width. Empty when the width is not positive.
std::vector<GradientBand> GradientBands(int left, int right, Colour start, Colour end,
                                        int maxBands = kMaxGradientBands);

// Text-drawing flags, with the platform's values (checked where it is included).
namespace textformat {
constexpr uint32_t kLeft = 0x00;
constexpr uint32_t kCenter = 0x01;
constexpr uint32_t kRight = 0x02;
constexpr uint32_t kVCenter = 0x04;
constexpr uint32_t kWordBreak = 0x10;
constexpr uint32_t kSingleLine = 0x20;
constexpr uint32_t kExpandTabs = 0x40;
} // namespace textformat

// Static-control styles the format depends on.
namespace staticstyle {
constexpr uint32_t kTypeMask = 0x1F;
constexpr uint32_t kCenter = 0x01;
constexpr uint32_t kRight = 0x02;
constexpr uint32_t kLeftNoWordWrap = 0x0C;
constexpr uint32_t kCenterImage = 0x200;
} // namespace staticstyle

uint32_t LabelTextFormat(uint32_t staticStyle, const std::string& text);

enum class LinkMode { None = 0, Url = 1, Mail = 2 };

struct LinkClick {
    enum class Kind { Nothing, NotifyParent, Open } kind = Kind::Nothing;
    std::string verb; // empty: the shell's default verb
    std::string file;
};
// A left click on the label.
LinkClick DecideLinkClick(LinkMode mode, bool notifyParent, const std::string& linkUrl,
                          const std::string& text);

// Blinking: which colours a paint uses in the current phase.
enum class BlinkMode { None = 0, Text = 1, Background = 2 };

} // namespace controls
