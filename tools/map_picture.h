// The map as a picture: three panels side by side, one per method, coloured
// by how the method ended, drawn by gnuplot.
#ifndef TOOLS_MAP_PICTURE_H_
#define TOOLS_MAP_PICTURE_H_

#include <cstdio>

#include "cli.h"
#include "map_view.h"

// Writes the gnuplot script for an SVG or PNG picture of the view.
void write_map_script(FILE *gp, const map_view *view, enum output_kind kind);

#endif // TOOLS_MAP_PICTURE_H_
