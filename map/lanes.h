// One row of a map, computed in lanes: what the engine's threads (or any
// other way of sharing the rows) run.
#ifndef MAP_LANES_H_
#define MAP_LANES_H_

#include "map/grid.h"

// Runs the map's methods at every point of row y into cells (width times
// spec->methods outcomes, point by point), xs holding the values of the x
// axis.
void map_row(const map_spec *spec, const double *xs, int y,
             method_outcome *cells);

#endif // MAP_LANES_H_
