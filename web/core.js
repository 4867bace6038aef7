// The page's module (web/module/) from JavaScript: diodemap's option
// parser, map rows, CSV and view, and the transcript reader. One core per
// thread: the page's main thread holds the view, each worker computes rows.
import { startModule } from './wasi.js';

const encoder = new TextEncoder();
const decoder = new TextDecoder();

// Splits a diodemap command line ("--U 5 --R 1:1e7") into its words.
export function splitWords(line) {
  return line.split(/\s+/).filter((w) => w !== '');
}

export function openCore(module) {
  const run = startModule(module, null);
  const x = run.instance.exports;
  const bytes = () => new Uint8Array(run.memory.buffer);
  const doubles = (ptr, n) => new Float64Array(run.memory.buffer, ptr, n);
  const cString = (ptr) => {
    const all = bytes();
    let end = ptr;
    while (all[end] !== 0) end++;
    return decoder.decode(all.subarray(ptr, end));
  };
  const curvePoints = (n) => {
    const all = doubles(x.core_curve(), 2 * x.core_curve_max());
    return [Array.from(all.subarray(0, n)), Array.from(all.subarray(x.core_curve_max(), x.core_curve_max() + n))];
  };
  const texts = (name, count) => Array.from({ length: count }, (_, k) => cString(x[name](k)));
  const quantities = 3; // U, R, I_S
  const methodCount = x.core_method_count();
  // Each method's values a pass, by name, with their units.
  const passFields = Array.from({ length: methodCount }, (_, m) => {
    const count = x.core_pass_fields(m);
    return {
      names: Array.from({ length: count }, (_, k) => cString(x.core_pass_field_name(m, k))),
      units: Array.from({ length: count }, (_, k) => cString(x.core_pass_field_unit(m, k))),
    };
  });
  // Puts words where the module's parsers read them; false without memory.
  const putWords = (words) => {
    const encoded = words.map((w) => encoder.encode(w));
    const size = encoded.reduce((n, b) => n + b.length + 1, 0);
    const at = x.core_args(words.length, size);
    if (at === 0) return false;
    let next = at;
    for (const b of encoded) {
      bytes().set(b, next);
      next += b.length + 1;
    }
    return true;
  };
  return {
    // Exercise sheets: parses diodelab's arguments for them (--blatt ...),
    // { status, stderr }; then sheetText(what) is 'latex' (diodelab's
    // bytes), 'csv' (its key, as --csv writes it), 'sheets' or 'keys' (the
    // parts as lines: the part's number and its texts, tab-separated),
    // 'first sheet' or 'first key' (those of the first student alone, the
    // same lines), or null where a circuit could not be drawn.
    sheetParse(words) {
      if (!putWords(words)) return { status: 1, stderr: 'FEHLER: Kein Speicher für die Argumente!\n' };
      const status = x.core_sheet_parse(words.length);
      return { status, stderr: decoder.decode(run.take(2)) };
    },
    sheetText(what) {
      const done = x.core_sheet_write(['latex', 'csv', 'sheets', 'keys', 'first sheet', 'first key'].indexOf(what));
      const text = decoder.decode(run.take(1));
      return done ? text : null;
    },
    // The start values of the runs, [a, b, x], and their criteria: [the
    // step's tolerance, the residual's (NaN: none), the largest number of
    // passes (0: none)].
    runStart: () => [0, 1, 2].map((k) => x.core_run_start(k)),
    runCriteria: () => [3, 4, 5].map((k) => x.core_run_start(k)),
    // Bisection's passes a priori until its interval is at most tol wide.
    aPriori: (width, tol) => x.core_a_priori(width, tol),
    // After passes(m): its evaluations of f, of f', of f for the start
    // values, per pass, and its efficiency index.
    runCost: (m) => [0, 1, 2, 3, 4].map((k) => x.core_run_cost(m, k)),
    // The module's German texts: quantities in the order U, R, I_S.
    quantityLabels: texts('core_quantity_label', quantities),
    quantityNames: texts('core_quantity_name', quantities),
    quantityUnits: texts('core_quantity_unit', quantities),
    // The table of methods, in the order the user sees them: index,
    // letter, name, colour, kind ('interval' or 'open'), mark in pictures
    // (method_mark: corners, 0 a circle; turn of the first corner in
    // degrees; size; filled; star, strokes through the centre), its order at a simple root from the
    // literature ("1.618"), whether its observed order is measured on its
    // interval's width, whether it can end "Waagerecht", and whether its
    // Delta is f where the pass started (Newton's).
    methods: Array.from({ length: methodCount }, (_, k) => ({
      index: k,
      letter: String.fromCharCode(x.core_method_letter(k)),
      name: cString(x.core_method_name(k)),
      colour: cString(x.core_method_colour(k)),
      kind: x.core_method_kind(k) === 0 ? 'interval' : 'open',
      mark: {
        corners: x.core_method_corners(k),
        turn: x.core_method_turn(k),
        size: x.core_method_size(k),
        filled: x.core_method_filled(k) === 1,
        star: x.core_method_star(k) === 1,
      },
      order: cString(x.core_method_order(k)),
      byWidth: x.core_method_by_width(k) === 1,
      endsLevel: x.core_method_ends_level(k) === 1,
      deltaAtStart: x.core_method_delta_at_start(k) === 1,
      // The start values it needs: an interval with a sign change, two
      // start points, one start point x.
      needs: {
        bracket: !!(x.core_method_needs(k) & 1),
        points: !!(x.core_method_needs(k) & 2),
        x: !!(x.core_method_needs(k) & 4),
      },
    })),
    // The first counts of the buckets of the map view's colour scale, and
    // the count at its top (the pass limit, or the last evaluations').
    buckets: () => Array.from({ length: x.core_buckets() }, (_, k) => x.core_bucket_start(k)),
    bucketTop: () => x.core_bucket_top(),
    // The classes of endings, by their index (the first before the limit,
    // coloured by its passes): name, legend, whether it is a way to reach
    // the limit, and the ending byte of all but the first; and their order
    // in the legends.
    endClasses: Array.from({ length: x.core_end_classes() }, (_, k) => ({
      name: cString(x.core_class_name(k)),
      legend: cString(x.core_class_legend(k)),
      atLimit: x.core_class_at_limit(k) === 1,
      code: k ? x.core_limit_ending(k) : null,
    })),
    classOrder: Array.from({ length: x.core_end_classes() }, (_, j) => x.core_class_order(j)),
    // Whether the map's view shows class k (waagerecht only with a method
    // that can end so).
    viewShows: (k) => x.core_view_shows(k) === 1,
    endingClass: (ending) => x.core_ending_class(ending),
    // What ends the methods of the map's view before the limit, in words.
    passesTo: () => cString(x.core_passes_to()),
    // Parses diodemap's arguments. Returns { status, stderr, stdout,
    // answered }: its exit status (0: ready, or answered when --help, -h or
    // --version was answered on stdout instead) and its messages as text.
    parse(words) {
      if (!putWords(words)) return { status: 1, stderr: 'FEHLER: Kein Speicher für die Argumente!\n' };
      const status = x.core_parse(words.length);
      const answered = status === 100;
      return {
        status: answered ? 0 : status,
        answered,
        stderr: decoder.decode(run.take(2)),
        stdout: decoder.decode(run.take(1)),
      };
    },
    points: (axis) => x.core_points(axis),
    // The map's title, axis 0 (x) or 1 (y)'s label, and its ticks: [{ at
    // (0 at the first sample, 1 at the last), text ("1e7", "4.7e3") }].
    title: () => cString(x.core_title()),
    axisLabel: (axis) => cString(x.core_axis_label(axis)),
    ticks: (axis) =>
      Array.from({ length: x.core_ticks(axis) }, (_, k) => ({
        at: x.core_tick_at(k),
        text: cString(x.core_tick_text(k)),
      })),
    // The map's methods: the table's index of each, in the map's order.
    mapMethods: () => Array.from({ length: x.core_map_methods() }, (_, k) => x.core_map_method(k)),
    quantity: (axis) => x.core_quantity(axis),

    // Computes row y; returns its cells' bytes and, with csv, its CSV lines.
    row(y, csv) {
      const len = x.core_row(y, csv ? 1 : 0);
      if (len < 0) throw new Error('Kein Speicher für die CSV-Zeilen');
      const width = x.core_points(0);
      const cells = bytes().slice(x.core_cells(), x.core_cells() + width * x.core_cell_size());
      const text = csv ? bytes().slice(x.core_text(), x.core_text() + len) : null;
      return { cells, text };
    },
    csvHeader: () => encoder.encode(cString(x.core_csv_header())),
    viewBegin(cols, rows) {
      if (x.core_view_begin(cols, rows) !== 0) throw new Error('Kein Speicher für die Karte');
    },
    viewSize: (axis) => x.core_view_size(axis),
    // Hands the view row y (rows in order) from the bytes row() made.
    takeRow(y, cells) {
      bytes().set(cells, x.core_cells());
      x.core_take_row(y);
    },
    ending: (m, row, col) => x.core_ending(m, row, col),
    // What the view's colour counts before the limit at a sample (passes or
    // evaluations), and in words.
    count: (m, row, col) => x.core_count(m, row, col),
    counted: () => cString(x.core_counted()),
    // A copy of the view's evaluations of f and f', [method][row][col].
    viewEvaluations() {
      const n = x.core_view_size(0) * x.core_view_size(1) * x.core_map_methods();
      const at = x.core_view_evaluations();
      return new Uint16Array(bytes().buffer.slice(at, at + 2 * n));
    },
    // A copy of the view's endings, [method][row][col].
    viewEndings() {
      const n = x.core_view_size(0) * x.core_view_size(1) * x.core_map_methods();
      return bytes().slice(x.core_view_endings(), x.core_view_endings() + n);
    },
    shares: (m) => cString(x.core_shares(m)),
    share: (m, end) => x.core_share(m, end),
    fixed: () => cString(x.core_fixed()),
    // The colour of an ending, with what the colour counts there; of a
    // count where a method ended before the limit (ending 0 is below every
    // class's code).
    colour: (ending, count) => x.core_colour(ending, count),
    countColour: (count) => x.core_colour(0, count),
    sampleCircuit: (row, col) => Array.from(doubles(x.core_sample_circuit(row, col), 3)),
    // Reads diodesolve's standard output. Returns { series } (per method of
    // the transcript, in the order of its blocks, { method, passes }: its index
    // and its passes as [delta, current] pairs) or { why }.
    readTranscript(stdout) {
      const room = x.core_transcript_size();
      if (stdout.length > room) return { why: 'Das Protokoll ist zu lang!' };
      bytes().set(stdout, x.core_transcript());
      if (!x.core_read_transcript(stdout.length)) return { why: cString(x.core_why()) };
      const series = Array.from({ length: x.core_transcript_methods() }, (_, k) => {
        const m = x.core_transcript_method(k);
        const passes = [];
        for (let j = 0; j < x.core_passes(m); j++) passes.push([x.core_delta(m, j), x.core_current(m, j)]);
        return { method: m, passes };
      });
      return { series };
    },
    // U, R and I_S as diodesolve reads them from the dialogue's standard
    // input (its own reader), or null when it reads no circuit.
    readCircuit(stdin) {
      run.feed(stdin);
      const ok = x.core_read_circuit();
      run.feed(null);
      run.take(2); // the reader's messages: diodesolve has shown them
      return ok ? Array.from(doubles(x.core_step_circuit(), 3)) : null;
    },
    // Every pass of method m on the circuit read last, exactly, with the
    // values the module gives it (web/module/passes.cpp): those of every
    // pass (from, point, d, next, ...), and those its record names (the
    // state the pass found, "a", and left, "aAfter", and what it derives).
    passes(m) {
      const count = x.core_run_passes(m);
      const stride = x.core_pass_stride();
      const { names, units } = passFields[m];
      const all = doubles(x.core_pass_data(m), count * stride);
      return Array.from({ length: count }, (_, k) => {
        const p = {};
        names.forEach((field, i) => {
          p[field] = all[k * stride + i];
        });
        // A value as %.*g writes it, from the module's copy (a NaN keeps
        // its sign there, which JavaScript does not promise), and its unit.
        p.text = (field, digits = 17) => cString(x.core_pass_text(m, k, names.indexOf(field), digits));
        p.unit = (field) => units[names.indexOf(field)] ?? '';
        // On which side of the true root a value lies: -1, 0, 1, NaN.
        p.side = (field) => x.core_root_side(p[field]);
        return p;
      });
    },
    // Whether method m, after its passes(), cycles at the limit (one more
    // pass gives back the estimate before the last), as the map counts.
    cycled: (m) => x.core_cycled(m) === 1,
    // The start values for the runs that follow, from the page's fields
    // [a, b, x0, step's tolerance, residual's tolerance, largest number of
    // passes] (empty or missing: the default). Returns 0, or 1 + the field
    // that holds no fitting number.
    takeStart(texts) {
      // Fields not given are empty (the module keeps six: a, b, x0 and the
      // three criteria).
      const encoded = Array.from({ length: 6 }, (_, k) => encoder.encode(texts[k] || ''));
      const tooLong = encoded.findIndex((b) => b.length > 255);
      encoded.forEach((b, k) => {
        const at = x.core_start_text(k);
        const kept = tooLong >= 0 ? b.subarray(0, 0) : b; // too long: all defaults
        bytes().set(kept, at);
        bytes()[at + kept.length] = 0;
      });
      const bad = x.core_take_start();
      return tooLong >= 0 ? tooLong + 1 : bad;
    },
    // After passes(m): how method m ended (its ending's word, the distance
    // of its last estimate in ulps), and what its passes show against the
    // root: { order (NaN: not to be determined), orderAt (the first of the
    // two passes it comes from, from 0), rate (the mean factor its measure
    // shrinks by a pass), counted (its passes whose measure counts),
    // rateLo and rateHi (the smallest and the largest factor from one
    // counted measure to the next) }.
    endingWord: (m) => cString(x.core_ending_word(m)),
    runUlps: (m) => x.core_run_ulps(m),
    convergence: (m) => {
      const [order, orderAt, rate, counted, rateLo, rateHi] = [0, 1, 2, 3, 4, 5].map((w) =>
        x.core_run_convergence(m, w),
      );
      return { order, orderAt, rate, counted, rateLo, rateHi };
    },
    // Why method m does not run from the start values (its word, '' where
    // it runs), and what diodelab says of all the methods' refusals.
    refusal: (m) => cString(x.core_refusal_word(m)),
    refusalMessage: () => cString(x.core_refusal_message()),
    // Its distance in ulps (order false) or its observed order (order true)
    // as diodelab's comparison writes it.
    runText: (m, order) => cString(x.core_run_text(m, order ? 1 : 0)),
    // The true root of the circuit read last: whether there is one, and the
    // double nearest it (digits 17) or I* to more digits, as text.
    rootExists: () => x.core_root_exists() === 1,
    rootText: (digits) => cString(x.core_root_text(digits)),
    // diodelab's comparison of every method, after passes() of each.
    comparison: () => cString(x.core_comparison()),
    passLimit: x.core_pass_limit(),
    // Pass k (from 0) of method m (after its passes()) as diodesolve
    // reports it.
    reportLine: (m, k) => cString(x.core_report_line(m, k)),
    // v as %.17g (digits 17) or %lg (digits 6) writes it.
    format: (v, digits = 17) => cString(x.core_format(v, digits)),
    // [xs, residuals]: n doubles evenly from lo to hi, or n consecutive
    // doubles, the first of them below doubles below from (at most 2048).
    curve(lo, hi, n) {
      x.core_sample_curve(lo, hi, n);
      return curvePoints(n);
    },
    // The parabola of pass k of method m's inverse quadratic step: [xs,
    // ys] at the heights ys (at most 2048).
    inverseQuadratic(m, k, ys) {
      doubles(x.core_curve(), 2 * x.core_curve_max()).set(ys, x.core_curve_max());
      x.core_inverse_quadratic(m, k, ys.length);
      return curvePoints(ys.length);
    },
    // f at the doubles xs (at most 2048), or with exact the real residual
    // there, rounded.
    residuals(xs, exact = false) {
      doubles(x.core_curve(), xs.length).set(xs);
      x.core_residuals(xs.length, exact ? 1 : 0);
      return curvePoints(xs.length)[1];
    },
    // The binary64 grid at I = i: { ulpI, expI, ulpU, expU, step, quantum,
    // flat } (the gaps to the next larger double at |i| and |U| as powers
    // of two, R times ulp(I), the smallest step between the residuals fs of
    // neighbouring doubles, 0 for none, and the most neighbouring doubles
    // among them with one residual).
    gridFacts(i, fs) {
      doubles(x.core_curve(), 2 * x.core_curve_max()).set(fs, x.core_curve_max());
      const [ulpI, expI, ulpU, expU, step, quantum, flat] = doubles(x.core_grid_facts(i, fs.length), 7);
      return { ulpI, expI, ulpU, expU, step, quantum, flat };
    },
    neighbours(from, below, n) {
      x.core_neighbours(from, below, n);
      return curvePoints(n);
    },
    // The first step of pass k of method m (after its passes()) that made
    // a nan (or with inf an inf), or of f at i; 0 when there was one
    // already.
    origin: (m, k, inf) => x.core_origin(m, k, inf ? 1 : 0),
    fOrigin: (i, inf) => x.core_f_origin(i, inf ? 1 : 0),
  };
}
