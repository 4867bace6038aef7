// The map as CSV: one line per grid point and method, in the order y, x,
// then the map's methods in their order; numbers exactly as printf's %.17g
// writes them, made by the workers.
#ifndef MAP_CSV_H_
#define MAP_CSV_H_

#include "map/grid.h"

extern const char csv_header[]; // "U,R,I_S,Verfahren,Durchlaeufe,Ende,I\n"

// Writes v at p as %.17g would, without a terminator; returns the end.
// There must be room for 24 characters.
char *csv_number(char *p, double v);

// The row_format of the CSV (context: the map_spec).
int csv_format_row(int y, const method_outcome *cells, const double *xs,
                   map_text *text, const void *context);

#endif // MAP_CSV_H_
