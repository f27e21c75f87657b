#include "desktop/notify_icon.h"

#include <algorithm>

namespace vask {

std::string NotifyIconRecord::tip_text() const {
    auto end = std::find(tip.begin(), tip.end(), '\0');
    return std::string(tip.begin(), end);
}

void NotifyIconRecord::set_tip(const std::string& text) {
    tip.fill(' ');
    size_t n = std::min(text.size(), kTipBytes);
    std::copy_n(text.begin(), n, tip.begin());
    if (n < kTipBytes) tip[n] = '\0';
}

}  // namespace vask
