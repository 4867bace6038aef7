// The map as a picture: three panels side by side, one per method, coloured
// by how the method ended, drawn by gnuplot.
#ifndef MAP_PICTURE_H_
#define MAP_PICTURE_H_

#include <cstdio>

#include "common/args.h"
#include "map/view.h"

// Writes the gnuplot script for an SVG or PNG picture of the view.
void write_map_script(FILE *gp, const map_view *view,
                      enum output_format format);

// The colour of an ending in the view's pictures, as 0xrrggbb; count is
// what the colour counts there (view_count) where it ended before the
// limit.
unsigned palette_colour(const map_view *view, unsigned char ending,
                        unsigned count);

#endif // MAP_PICTURE_H_
