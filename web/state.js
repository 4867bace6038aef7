// The page's state, as its link keeps it: one object, read from the
// address once, changed only through update(), which writes the address
// (the one place that does) and tells the parts that show a changed key.
//
// The keys: U, R, IS the dialogue's answers; a, b, x0 its start values;
// stol, rtol, grenze the criteria that may cut its runs;
// verfahren the methods of the chart and tables; mass the chart's measure;
// stellen 6 or 17; tabelle the table shown; konsole 1 when the console's
// view is open; vortrag 1 in the presentation mode; schritt the pass of the
// step view (N7); ueben the pass asked in practice (N3); karte the map's
// arguments. A key given twice counts with
// its last value, as a repeated option of the console's tools does; a key
// not listed here is kept as it came.

// Each key's value when the link does not name it: a key at its default
// leaves the address.
const defaults = {
  U: null,
  R: null,
  IS: null,
  a: '',
  b: '',
  x0: '',
  stol: '',
  rtol: '',
  grenze: '',
  verfahren: 'HRN',
  mass: 'd',
  stellen: '6',
  tabelle: null,
  konsole: '',
  vortrag: '',
  schritt: null,
  ueben: null,
  karte: null,
};

const link = new URLSearchParams();
for (const [key, value] of new URLSearchParams(location.search)) link.set(key, value);

// The state: each key's value from the link, else its default.
export const state = Object.fromEntries(
  Object.entries(defaults).map(([key, fallback]) => [key, link.has(key) ? link.get(key) : fallback]),
);
// Whether the link named key at the start.
export const named = (key) => link.has(key);

const watchers = [];
// Calls show(keys) after every update that changed one of keys.
export const watch = (keys, show) => watchers.push({ keys, show });

// Sets the keys of changes (null: back to the default), writes the address,
// and shows what changed.
export function update(changes) {
  const changed = Object.keys(changes).filter((key) => state[key] !== (changes[key] ?? defaults[key]));
  for (const key of Object.keys(changes)) {
    if (!Object.hasOwn(defaults, key)) throw new Error(`Kein Schlüssel des Links: ${key}`);
    state[key] = changes[key] ?? defaults[key];
    // An empty answer is an answer: only an empty option leaves the link.
    if (state[key] === defaults[key] || (state[key] === '' && defaults[key] !== null)) link.delete(key);
    else link.set(key, state[key]);
  }
  try {
    history.replaceState(null, '', `?${link.toString().replace(/\+/g, '%20')}`);
  } catch {
    // file:// in some browsers: the address stays as it was
  }
  for (const { keys, show } of watchers) if (keys.some((key) => changed.includes(key))) show(changed);
}
