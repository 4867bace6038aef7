// diodemap's command line.
#ifndef MAP_OPTIONS_H_
#define MAP_OPTIONS_H_

#include "common/args.h"
#include "map/grid.h"

struct map_options {
    map_spec spec;
    int grid[2]; // points on the x and y axis
    int threads;
    enum output_format format;
    const char *path;       // -o FILE, or null
    enum info_request info; // --help, -h or --version, the first of them
};

// diodemap's usage, as --help shows it (before the exit statuses).
// The usage, the methods listed from the table.
const char *map_help();

// Reads the arguments over the defaults (--U 5 --R 1:1e7 --IS 1e-16:1e-6
// --grid 200x150, all online processors, SVG to standard output). Returns
// exit_ok, or exit_usage after a German message naming the argument that was
// wrong.
int parse_map_options(int argc, char **argv, map_options *o);

#endif // MAP_OPTIONS_H_
