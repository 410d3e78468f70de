#pragma once
// The "nice" value scale of a graph's Y axes: limits widened to whole steps
// of 1, 2 or 5 times a power of ten, and the number of major divisions
// between them.
namespace qs::graphs {

// min and max in, the scale's limits out. step = 10^ceil(log10(range / 10));
// the top is the first step at or above max, the bottom the first at or
// below min; fewer than six steps halve the step (dropping a half step at
// either end that holds no data). A range below 0 keeps the limits with one
// division; an empty range becomes the unit interval holding the value.
// Limits that are not finite are left alone with one division.
void NiceScale(double& min, double& max, short& majorDivisions);

}  // namespace qs::graphs
