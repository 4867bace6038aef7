// What the page knows of each method beyond the module's table of methods
// (core.js methods: index, letter, name, colour, kind, mark, order,
// byWidth, endsLevel, deltaAtStart): one object per method, in its
// family's file, found by its letter. A method of the table without an
// object, an object without a method, a key not listed below, a required
// key left out or a level that does not match endsLevel is a fault the
// page reports at its start.
import * as bisection from './bisection.js';
import * as falsi from './falsi.js';
import * as newton from './newton.js';
import * as secant from './secant.js';
import * as brent from './brent.js';

const families = [bisection, falsi, newton, secant, brent];

// The keys of a method's object: what each holds, and the default of those
// that may be left out (required ones have none).
export const methodKeys = {
  // Its letter in the table of methods.
  letter: { required: true },
  // Its line in the page's help, after its name.
  summary: { required: true },
  // [name, field] of the values of a pass, as the step view lists them and
  // #schritt's data-zustand holds them (the fields: core.js passes()).
  values: { required: true },
  // (p, v) => parts: what pass p did, in words and values v(name, field).
  sentence: { required: true },
  // (p, v) => parts: the formula of pass p with the values it starts
  // from put in (never its result), for practice's hint.
  tip: { required: true },
  // (p, ctx) => { focus, all, centre }: the points the step view fits.
  construction: { required: true },
  // (d, p, ctx): its construction on the step view (stepwindow.js).
  draw: { required: true },
  // Its name as a sentence begins with it, article and all; its name in
  // the page's own texts (the module's is ASCII).
  subject: { fallback: null },
  label: { fallback: null },
  // The names of its interval's ends, for its table's columns and CSV
  // (null: it keeps none), and their headers where those differ.
  ends: { fallback: null },
  endLabels: { fallback: null },
  // How the step view names the residual of a pass ("f(m)").
  residual: { fallback: 'f(x)' },
  // The steps of a pass that can make a nan, in words: { point, next }.
  steps: { fallback: {} },
  // (last, neighbours) => why a repeat ended its block, where that is its
  // own reason, else null; the step that repeats an infinite value.
  repeat: { fallback: () => null },
  repeatStep: { fallback: 'der Schritt' },
  // Why an end never moved, where one did not.
  stays: { fallback: 'das Vorzeichen von d zeigt immer in dieselbe Richtung.' },
  // Why it alternates between two neighbouring doubles, or null.
  alternates: { fallback: null },
  // For a method that can end horizontally ("Waagerecht"): { verdict,
  // end(last, v) }, what the page adds to the ending's word, and the
  // sentence after its last pass, with values v(name, field).
  level: { fallback: null },
};

const objects = families.flatMap((family) => Object.values(family)).filter((o) => o && typeof o.letter === 'string');

// The methods of the table with their objects, every key set: the module's
// record, the defaults, the object (subject and label default to the
// module's name).
export function withObjects(methods) {
  const letters = methods.map((m) => m.letter);
  if (new Set(objects.map((o) => o.letter)).size !== objects.length)
    throw new Error('Zwei Verfahren mit einem Buchstaben');
  for (const o of objects) if (!letters.includes(o.letter)) throw new Error(`Das Verfahren ${o.letter} fehlt im Modul`);
  return methods.map((m) => {
    const o = objects.find((x) => x.letter === m.letter);
    if (!o) throw new Error(`Die Seite kennt das Verfahren ${m.letter} nicht`);
    for (const key of Object.keys(o))
      if (!Object.hasOwn(methodKeys, key)) throw new Error(`Unbekannter Schlüssel ${key} bei ${m.letter}`);
    const defaults = {};
    for (const [key, { required, fallback }] of Object.entries(methodKeys)) {
      if (required && !Object.hasOwn(o, key)) throw new Error(`${m.letter} fehlt ${key}`);
      if (!required) defaults[key] = fallback;
    }
    if (m.endsLevel !== !!o.level) throw new Error(`${m.letter}: level passt nicht zu seinen Abbrüchen`);
    return { ...m, ...defaults, subject: m.name, label: m.name, ...o };
  });
}
