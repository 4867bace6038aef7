// diodemap's command line.
#ifndef TOOLS_MAP_OPTIONS_H_
#define TOOLS_MAP_OPTIONS_H_

#include "cli.h"
#include "map.h"

struct map_options {
    map_spec spec;
    int grid[2]; // points on the x and y axis
    int threads;
    enum output_kind kind;
    const char *path; // -o FILE, or null
    int help;
};

// Reads the arguments over the defaults (--U 5 --R 1:1e7 --IS 1e-16:1e-6
// --grid 200x150, all online processors, SVG to standard output). Returns
// 0, or 64 after a German message naming the argument that was wrong.
int parse_map_options(int argc, char **argv, map_options *o);

#endif // TOOLS_MAP_OPTIONS_H_
