#include "controls/LabelRules.h"

#include <algorithm>

namespace controls {

std::vector<GradientBand> GradientBands(int left, int right, Colour start, Colour end,
                                        int maxBands) {
    std::vector<GradientBand> bands;
    int width = right - left;
    int n = std::min(maxBands, width);
    if (n <= 0)
        return bands;
    // Steps in 1/256 of a channel level, so that many narrow bands still climb.
    int stepR = (RedOf(end) - RedOf(start)) * 256 / n;
    int stepG = (GreenOf(end) - GreenOf(start)) * 256 / n;
    int stepB = (BlueOf(end) - BlueOf(start)) * 256 / n;
    int bandWidth = width / n;
    int r = RedOf(start) * 256, g = GreenOf(start) * 256, b = BlueOf(start) * 256;
    bands.reserve(static_cast<size_t>(n));
    int x = left;
    for (int i = 0; i < n; ++i) {
        int bandEnd = i == n - 1 ? right : x + bandWidth;
        bands.push_back(GradientBand{x, bandEnd, MakeColour(r / 256, g / 256, b / 256)});
        x = bandEnd;
        r += stepR;
        g += stepG;
        b += stepB;
    }
    return bands;
}

uint32_t LabelTextFormat(uint32_t staticStyle, const std::string& text) {
    using namespace textformat;
    uint32_t format;
    switch (staticStyle & staticstyle::kTypeMask) {
    case staticstyle::kCenter:
        format = kCenter | kWordBreak;
        break;
    case staticstyle::kRight:
        format = kRight | kWordBreak;
        break;
    case staticstyle::kLeftNoWordWrap:
        format = kLeft;
        break;
    default:
        format = kLeft | kWordBreak;
        break;
    }
    if (text.find('\t') != std::string::npos)
        format |= kExpandTabs;
    if (staticStyle & staticstyle::kCenterImage) {
        // Vertical centring only works on one line; several lines stay at the top.
        if (text.find("\r\n") != std::string::npos)
            format = kCenter;
        else
            format = kCenter | kVCenter | kSingleLine;
    }
    return format;
}

LinkClick DecideLinkClick(LinkMode mode, bool notifyParent, const std::string& linkUrl,
                          const std::string& text) {
    LinkClick click;
    if (notifyParent) {
        click.kind = LinkClick::Kind::NotifyParent;
        return click;
    }
    switch (mode) {
    case LinkMode::Url:
        click.kind = LinkClick::Kind::Open;
        click.verb = "open";
        click.file = linkUrl.empty() ? text : linkUrl;
        break;
    case LinkMode::Mail:
        // Always the text: the label shows the address it mails to.
        click.kind = LinkClick::Kind::Open;
        click.file = "mailto:" + text;
        break;
    case LinkMode::None:
        break;
    }
    return click;
}

} // namespace controls
