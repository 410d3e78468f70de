#include "GraphScale.h"

#include <cmath>

namespace qs::graphs {

void NiceScale(double& min, double& max, short& majorDivisions) {
    const double range = max - min;
    if (!std::isfinite(range) || range < 0) {
        majorDivisions = 1;
        return;
    }
    if (range == 0) {
        min = std::ceil(max) - 1.0;
        max = min + 1.0;
        majorDivisions = 1;
        return;
    }
    double step = std::pow(10.0, std::ceil(std::log10(range * 0.1)));
    double top = std::trunc(max / step) * step;
    if (top < max) top += step;
    // A step of range / 10 or more reaches min within eleven steps. The
    // bottom is counted in whole steps from the top with a hair of slack, so
    // that 1.0 - 9 x 0.1 counts as reaching 0.1.
    const double slack = step * 1e-9;
    int steps = 1;
    double bottom = top - step;
    while (bottom > min + slack && steps < 100) bottom = top - ++steps * step;
    if (steps < 6) {
        step /= 2.0;
        if (bottom + step <= min) bottom += step;
        if (top - step >= max) top -= step;
    }
    min = bottom;
    max = top;
    majorDivisions = static_cast<short>(std::floor((top - bottom) / step + 0.5));
}

}  // namespace qs::graphs
