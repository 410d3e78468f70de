#include "ViewSettings.h"

#include <algorithm>

int g_bCalendarView = 0;
int g_bObjectRefreshed = 0;

namespace qs::views {

ViewSettings& Settings() {
    static ViewSettings settings;
    return settings;
}

int ClampScale(int percent) { return std::clamp(percent, 10, 400); }

}  // namespace qs::views
