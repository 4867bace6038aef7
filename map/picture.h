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

// The colour of an ending in the pictures, as 0xrrggbb.
unsigned palette_colour(unsigned char ending);

#endif // MAP_PICTURE_H_
