// Titles ordered as a sorted list box of the user's locale orders them:
// letter case ignored, by the locale's rules.
#pragma once

#include "listfile/TitleSet.h"

namespace listfile {

class SystemTitleOrder : public TitleOrder {
public:
    // Safe on any thread.
    std::string SortKey(const std::string& title) const override;
};

} // namespace listfile
