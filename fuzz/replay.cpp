// Replays fuzz inputs without libFuzzer: every file named on the command
// line, or found in a named directory, goes once through the target, so an
// input that once crashed it stays a test in every build.
#include <cstdint>
#include <cstdio>
#include <dirent.h>
#include <sys/stat.h>

#include "feed.h"

static uint8_t input[1 << 20];

// Returns 1 after replaying the file at path, 0 if it could not be read.
static int replay_file(const char *path)
{
    FILE *file = fopen(path, "rb");
    if (file == nullptr)
        return 0;
    size_t size = fread(input, 1, sizeof input, file);
    int whole = !ferror(file) && feof(file);
    fclose(file);
    if (!whole)
        return 0;
    LLVMFuzzerTestOneInput(input, size);
    return 1;
}

// Replays path, or every regular file directly inside it; returns the count
// replayed, or -1 when something could not be read.
static long replay(const char *path)
{
    struct stat info;
    if (stat(path, &info) != 0)
        return -1;
    if (!S_ISDIR(info.st_mode))
        return replay_file(path) ? 1 : -1;
    DIR *dir = opendir(path);
    if (dir == nullptr)
        return -1;
    long count = 0;
    char name[4096];
    for (struct dirent *entry = readdir(dir); entry; entry = readdir(dir)) {
        if (entry->d_name[0] == '.')
            continue;
        snprintf(name, sizeof name, "%s/%s", path, entry->d_name);
        if (stat(name, &info) != 0 || !S_ISREG(info.st_mode))
            continue;
        if (!replay_file(name)) {
            count = -1;
            break;
        }
        ++count;
    }
    closedir(dir);
    return count;
}

int main(int argc, char **argv)
{
    long total = 0;
    for (int k = 1; k < argc; ++k) {
        long count = replay(argv[k]);
        if (count < 0) {
            fprintf(stderr, "replay: cannot read %s\n", argv[k]);
            return 2;
        }
        total += count;
    }
    fprintf(stderr, "replay: %ld inputs passed\n", total);
    return total > 0 ? 0 : 2;
}
