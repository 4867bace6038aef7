// Fuzz target for diodelab's option parser: the input split at blanks into
// at most 64 words. The parser must answer with exit_ok or exit_usage, and
// what it accepts must be a run: one to all of the methods, each once, and
// the circuit given whole or not at all (unless --help or --version); or
// sheets within their bounds, whose circuits lie in their ranges and whose
// names hold nothing LaTeX or HTML would read as markup; criteria that
// cut a run within their bounds, and never with sheets.
#include <cmath>
#include <cstring>
#include <initializer_list>

#include "common/status.h"
#include "feed.h"
#include "lab/options.h"

static int valid_sheets(const sheet_spec *s)
{
    if (s->count < 1 || s->count > sheet_max_students || s->passes < 1 ||
        s->passes > sheet_max_passes || s->questions == 0 ||
        s->questions >= 1u << sheet_questions ||
        sheet_table_lines(s) > sheet_page_lines)
        return 0;
    for (int q = 0; q < 3; ++q)
        if (!(s->lo[q] > 0.0 && s->lo[q] <= s->hi[q] &&
              std::isfinite(s->hi[q])))
            return 0;
    for (int k : {0, s->count - 1}) {
        double c[3];
        char name[64];
        if (!sheet_circuit(s, k, c) ||
            strlen(sheet_name(s, k, name, sizeof name)) > sheet_name_bytes ||
            strpbrk(name, "\\{}$&#^_%~<>|\t\n\r") != nullptr)
            return 0;
        for (int q = 0; q < 3; ++q)
            if (!(c[q] >= s->lo[q] && c[q] <= s->hi[q]))
                return 0;
    }
    return 1;
}

static int valid(const lab_options *o)
{
    if (o->methods < 1 || o->methods > method_count)
        return 0;
    int seen[method_count] = {};
    for (int k = 0; k < o->methods; ++k) {
        if (o->method[k] < 0 || o->method[k] >= method_count ||
            seen[o->method[k]]++)
            return 0;
    }
    if (o->info != info_none)
        return 1;
    // Criteria: a bound from 0 up or none (NaN), a limit of 1 to 200 or
    // none; never with sheets.
    const lab_cut *c = &o->cut;
    int cut_valid = (std::isnan(c->step) || c->step >= 0.0) &&
                    (std::isnan(c->residual) || c->residual >= 0.0) &&
                    c->limit <= report_pass_limit;
    if (!cut_valid || (o->sheets && (lab_cut_given(c) || o->costs)))
        return 0;
    return o->sheets ? valid_sheets(&o->sheet) : o->given == 0 || o->given == 7;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    char *argv[fuzz_words + 2];
    int argc = fuzz_argv(data, size, "diodelab", argv);
    lab_options o;
    int status = parse_lab_options(argc, argv, &o);
    FUZZ_CHECK(status == exit_usage || (status == exit_ok && valid(&o)));
    return 0;
}
