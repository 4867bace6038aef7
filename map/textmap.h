// The text map of a view, for terminals.
#ifndef MAP_TEXTMAP_H_
#define MAP_TEXTMAP_H_

#include <cstdio>

#include "map/view.h"

// A text map width characters wide has text_map_cols(width) columns of
// samples (beside its labels and frame, at most the grid's width); its rows
// keep the grid's shape, a character being about twice as tall as wide: cols *
// height / width / 2, rounded, at least 2 and at most the grid's height and
// text_map_max_rows.
enum { text_map_max_rows = 100 };
int text_map_cols(int width);
int text_map_rows(const map_spec *spec, int cols);

// Writes the text map: a legend, then per method its character map and
// shares, no line wider than width. Returns nothing; errors show on out.
void write_text_map(FILE *out, const map_view *view, int width);

#endif // MAP_TEXTMAP_H_
