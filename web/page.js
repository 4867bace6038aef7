// The page: the task, diodesolve's dialogue and diodelab's comparison of
// every method on its circuit (tables, chart, step view), and diodemap's
// map, all the programs' own code compiled to WebAssembly, inside this one
// file. This module holds the page's state (in its address) and runs.
import { runCommand } from './wasi.js';
import { openCore, splitWords } from './core.js';
import { computeMap } from './map.js';
import { drawChart, chartHeight, chartSvg, seriesOf, measures, markKey } from './chart.js';
import { runPasses, convergenceSentence, ran, pageMethodsOf } from './passes.js';
import { showRoot, showTables } from './tables.js';
import { showConsole, watchConsole } from './console.js';
import { showSteps, goTo, watchSteps, redrawSteps } from './steps.js';
import { showMap, watchPanels, savePng, markCircuit } from './mapview.js';

const $ = (id) => document.getElementById(id);
const encoder = new TextEncoder();

// <body data-state="fertig"> once nothing runs any more.
let running = 0;
const begin = () => {
  running++;
  delete document.body.dataset.state;
};
const end = () => {
  if (--running === 0) document.body.dataset.state = 'fertig';
};

// The query string: U, R, IS of the dialogue; a, b, x0 its start values;
// verfahren the methods of the chart and tables; mass the chart's measure;
// stellen 6 or 17; tabelle the table shown; konsole 1 when the console's
// view is open; schritt the pass of the step view (N7); karte the map's
// arguments. A key given twice counts with its last value, as a repeated
// option of the console's tools does.
const query = new URLSearchParams();
for (const [key, value] of new URLSearchParams(location.search)) query.set(key, value);
const keepUrl = () => {
  try {
    history.replaceState(null, '', `?${query.toString().replace(/\+/g, '%20')}`);
  } catch {
    // file:// in some browsers: the link stays as it was
  }
};
const setQuery = (key, value, fallback) => {
  if (value === fallback || value === '') query.delete(key);
  else query.set(key, value);
};

// The page's data blocks (script elements that are never run): the
// modules, gzip-compressed as base64, and the workers' source.
const block = (id) => document.getElementById(id).textContent;

// Unpacks a gzip-compressed module kept as base64 in a data block.
async function unpack(id) {
  const text = atob(block(id));
  const packed = new Uint8Array(text.length);
  for (let k = 0; k < text.length; k++) packed[k] = text.charCodeAt(k);
  const stream = new Blob([packed]).stream().pipeThrough(new DecompressionStream('gzip'));
  return WebAssembly.compile(await new Response(stream).arrayBuffer());
}

// ---- The dialogue and its run ----

const fields = ['U', 'R', 'IS'];
const startFields = [
  ['sa', 'a'],
  ['sb', 'b'],
  ['x0', 'x0'],
];
const defaultMethods = 'HRN';
let solver = null;
let core = null;
let mapModule = null; // the page's module, shared with the workers
let chart = null;
let current = null; // the last run (passes.js runPasses)
// Each answer is exactly one line: what a field or a link holds up to its
// first line break (an <input> would drop the breaks and join the lines).
const firstLine = (text) => text.split(/[\r\n]/)[0];

// The methods chosen for the chart and the tables, as indices into the
// run's methods (the table's order).
const chosenMethods = () => [...$('auswahl').querySelectorAll('input:checked')].map((box) => Number(box.value));

function showChoices() {
  const letters = query.get('verfahren') || defaultMethods;
  $('auswahl')
    .querySelectorAll('label')
    .forEach((l) => l.remove());
  for (const method of pageMethodsOf(core)) {
    const label = document.createElement('label');
    const box = Object.assign(document.createElement('input'), {
      type: 'checkbox',
      value: String(method.index),
      checked: letters.includes(method.letter),
    });
    box.addEventListener('change', () => {
      setQuery(
        'verfahren',
        chosenMethods()
          .map((m) => core.methods[m].letter)
          .join(''),
        defaultMethods,
      );
      keepUrl();
      showRun();
    });
    label.append(box, ` ${method.letter} ${method.label}`);
    $('auswahl').append(label);
  }
}

const measure = () => document.querySelector('#mass input:checked').value;

// Draws the chart, its sentences and the tables of the chosen methods.
function showRun() {
  begin();
  if (chart) chart.destroy();
  chart = null;
  const picked = current ? chosenMethods() : [];
  const chosen = current ? ran(current, picked) : [];
  $('chart-hinweis').textContent = '';
  $('ordnung').replaceChildren();
  if (current) {
    const series = seriesOf(current, chosen, measure());
    const width = $('chart').clientWidth || 320;
    chart = drawChart($('chart'), series, measure(), width, openPass, (text) => {
      $('chart-ansage').textContent = text;
    });
    $('chart-hinweis').textContent =
      chosen.length > series.length ? `${markKey} Ohne Intervall hat ein Verfahren keine Intervallbreite.` : markKey;
    $('ordnung').replaceChildren(
      ...picked.map((m) =>
        Object.assign(document.createElement('li'), { textContent: convergenceSentence(current, m) }),
      ),
    );
  }
  showTables(
    current || { methods: [] },
    picked,
    query.get('tabelle'),
    $('stellen').checked ? 17 : 6,
    openPass,
    (letter) => {
      setQuery('tabelle', letter, null);
      keepUrl();
      showRun();
    },
  );
  end();
}

function runDialogue() {
  begin();
  const answers = fields.map((f) => firstLine($(f).value));
  fields.forEach((f, k) => query.set(f, answers[k]));
  const start = startFields.map(([id]) => $(id).value.trim());
  startFields.forEach(([, key], k) => setQuery(key, start[k], ''));
  const stdin = encoder.encode(answers.map((a) => `${a}\n`).join(''));
  const result = runCommand(solver, stdin);
  showConsole(result, answers, core.methods.map((m) => m.letter).join(''));
  const started = performance.now();
  current = runPasses(core, stdin, start);
  $('vergleich').dataset.rechenzeit = (performance.now() - started).toFixed(1);
  const said = result.stderr.length ? new TextDecoder().decode(result.stderr).split('\n')[0] : '';
  $('start-meldung').textContent = !current
    ? `Keine Schaltung gelesen: ${said} (die Konsolenausgabe zeigt den Dialog)`
    : current.startError
      ? `Kein Startwert für ${startFields[current.startError - 1][1]}: "${start[current.startError - 1]}"; es gelten die voreingestellten.`
      : [said, current.refusals.trim()].filter(Boolean).join(' ');
  if (current) showRoot(current);
  else {
    $('wurzel').textContent = '';
    $('wurzel').dataset.wert = '';
    $('vergleich').tBodies[0].replaceChildren();
    $('urteil').replaceChildren();
  }
  showRun();
  if (current) markCircuit(current.circuit);
  showSteps(core, current, 0, 1, (letter, pass) => {
    query.set('schritt', `${letter}${pass}`);
    keepUrl();
  });
  if (!current) query.delete('schritt');
  keepUrl();
  end();
}

// Opens pass k (from 0) of method m of the table in the step view and
// shows it.
function openPass(m, k) {
  begin();
  goTo(`${core.methods[m].letter}${k + 1}`);
  $('schritt-abschnitt').scrollIntoView({ block: 'start' });
  end();
}

// Downloads blob as name.
function save(blob, name) {
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = name;
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
}

// The chart as SVG, and as PNG drawn from that SVG.
function chartPicture() {
  const series = seriesOf(current, ran(current, chosenMethods()), measure());
  const [u, r, i] = current.circuit.map((v) => core.format(v, 6));
  return chartSvg(
    series,
    measure(),
    `${measures[measure()].label} je Durchlauf: U = ${u} V, R = ${r} Ohm, I_S = ${i} A`,
  );
}

function watchRun() {
  $('eingabe').addEventListener('submit', (e) => {
    e.preventDefault();
    runDialogue();
  });
  document.querySelectorAll('#mass input').forEach((radio) =>
    radio.addEventListener('change', () => {
      setQuery('mass', measure(), 'd');
      keepUrl();
      showRun();
    }),
  );
  $('stellen').addEventListener('change', () => {
    setQuery('stellen', $('stellen').checked ? '17' : '6', '6');
    keepUrl();
    showRun();
  });
  $('konsole').addEventListener('toggle', () => {
    setQuery('konsole', $('konsole').open ? '1' : '', '');
    keepUrl();
  });
  $('chart-svg').addEventListener(
    'click',
    () => current && save(new Blob([chartPicture()], { type: 'image/svg+xml' }), 'konvergenz.svg'),
  );
  $('chart-png').addEventListener('click', () => {
    if (!current) return;
    const image = new Image();
    const url = URL.createObjectURL(new Blob([chartPicture()], { type: 'image/svg+xml' }));
    image.onload = () => {
      const canvas = Object.assign(document.createElement('canvas'), { width: image.width, height: image.height });
      canvas.getContext('2d').drawImage(image, 0, 0);
      URL.revokeObjectURL(url);
      canvas.toBlob((blob) => save(blob, 'konvergenz.png'), 'image/png');
    };
    image.src = url;
  });
  watchConsole((letter, pass) =>
    openPass(
      core.methods.findIndex((m) => m.letter === letter),
      pass - 1,
    ),
  );
  // The chart follows the width of its box.
  new ResizeObserver(() => {
    const width = $('chart').clientWidth;
    if (chart && width && width !== chart.width) chart.setSize({ width, height: chartHeight(width) });
  }).observe($('chart'));
}

// ---- The map ----

const mapFields = [
  ['kU', '--U'],
  ['kR', '--R'],
  ['kIS', '--IS'],
  ['kgrid', '--grid'],
  ['kverfahren', '--verfahren'],
];
let workers = null;
let mapRun = 0;
// The CSV comes with maps up to this many points (about 55 MB of text);
// larger ones are for diodemap --csv on the console.
const csvMaxPoints = 250000;

function startWorkers() {
  const url = URL.createObjectURL(new Blob([block('worker-quelle')], { type: 'text/javascript' }));
  const count = Math.max(1, Math.min(16, navigator.hardwareConcurrency || 2));
  return Array.from({ length: count }, () => {
    const w = new Worker(url);
    let listener = () => {};
    w.onmessage = (e) => listener(e.data);
    return {
      post: (m, t) => w.postMessage(m, t || []),
      listen: (fn) => {
        listener = fn;
      },
    };
  });
}

function mapWords() {
  const words = [];
  for (const [id, option] of mapFields) {
    const v = $(id).value.trim();
    if (v !== '') words.push(option, v);
  }
  return words;
}

// The map's fields as the command that draws the same map on the console.
const showCommand = () => {
  $('karte-befehl').textContent = `diodemap ${mapWords()
    .map((w) => (/^[\w.:+-]+$/.test(w) ? w : `'${w}'`))
    .join(' ')} -o karte.svg`;
};

// Fills the map's fields from words, as far as they are its options.
function fillMapFields(words) {
  for (let k = 0; k + 1 < words.length; k++) {
    const field = mapFields.find(([, option]) => option === words[k]);
    if (field) $(field[0]).value = words[++k];
  }
  showCommand();
}

async function drawMap(words) {
  const run = ++mapRun;
  begin();
  $('karte-meldungen').textContent = '';
  $('fortschritt').value = 0;
  query.set('karte', words.join(' '));
  keepUrl();
  try {
    const started = performance.now();
    const result = await computeMap(core, mapModule, words, workers, {
      csvUpTo: csvMaxPoints,
      progress: (done, all) => {
        if (run === mapRun) $('fortschritt').value = done / all;
      },
    });
    if (run !== mapRun || result.status === null) return; // a later map replaced it
    $('karte-meldungen').textContent = result.answered ? result.stdout : result.stderr;
    if (result.status !== 0 || result.answered) return;
    showMap(core, result.csv, `CSV: mehr als ${csvMaxPoints} Punkte, bitte diodemap --csv auf der Konsole`);
    if (current) markCircuit(current.circuit);
    $('karte-zeit').textContent =
      `berechnet in ${Math.round(performance.now() - started)} ms mit ${workers.length} Workern`;
  } catch (e) {
    $('karte-meldungen').textContent = `FEHLER: ${e.message}\n`;
  } finally {
    end();
  }
}

function loadCircuit(circuit) {
  fields.forEach((f, k) => {
    $(f).value = String(circuit[k]);
  });
  runDialogue();
  $('dialog').scrollIntoView({ block: 'start' });
}

// ---- The start ----

function fillFromQuery() {
  for (const f of fields) if (query.has(f)) $(f).value = firstLine(query.get(f));
  for (const [id, key] of startFields) if (query.has(key)) $(id).value = firstLine(query.get(key));
  const mass = query.get('mass');
  if (Object.hasOwn(measures, mass)) document.querySelector(`#mass input[value="${mass}"]`).checked = true;
  $('stellen').checked = query.get('stellen') === '17';
  $('konsole').open = query.get('konsole') === '1';
}

// The folds start closed on a phone, so that the page stays short; the
// map's fields stay open when the link names a map.
function fold() {
  if (window.matchMedia('(max-width: 40rem)').matches)
    document.querySelectorAll('details.falte').forEach((d) => {
      d.open = d.id === 'karte-falte' && query.has('karte');
    });
}

// The presentation mode: one button turns it on and off (Escape too), the
// link keeps it, and the charts are drawn again for their new width.
function watchPresentation() {
  const button = $('vortrag');
  const set = (on) => {
    document.body.classList.toggle('vortrag', on);
    button.setAttribute('aria-pressed', String(on));
    button.textContent = on ? 'Vortragsmodus beenden' : 'Vortragsmodus';
    setQuery('vortrag', on ? '1' : '', '');
    keepUrl();
    showRun();
    redrawSteps();
  };
  button.addEventListener('click', () => set(!document.body.classList.contains('vortrag')));
  document.addEventListener('keydown', (e) => {
    if (e.key === 'Escape' && document.body.classList.contains('vortrag')) set(false);
  });
  if (query.get('vortrag') === '1') set(true);
}

async function main() {
  fold();
  workers = startWorkers(); // they start while the modules unpack
  [solver, mapModule] = await Promise.all([unpack('modul-diodesolve'), unpack('modul-diodeweb')]);
  core = openCore(mapModule);
  fillFromQuery();
  showChoices();
  const karte = query.has('karte') ? splitWords(query.get('karte')) : mapWords();
  fillMapFields(karte);
  watchRun();
  $('karte-form').addEventListener('submit', (e) => {
    e.preventDefault();
    drawMap(mapWords());
  });
  $('karte-form').addEventListener('input', showCommand);
  $('png').addEventListener('click', savePng);
  // Until now a click would have sent the forms the browser's way, which
  // loads the page again without its link.
  document.querySelectorAll('button[type="submit"]').forEach((b) => {
    b.disabled = false;
  });
  watchSteps();
  watchPresentation();
  const step = query.get('schritt');
  watchPanels(loadCircuit);
  running++; // until both have started
  const drawn = drawMap(karte); // in the workers, while the dialogue runs here
  runDialogue();
  if (step !== null && query.has('schritt')) $('schritt-meldung').textContent = goTo(step);
  end();
  await drawn;
}

main().catch((e) => {
  $('start-meldung').textContent = `FEHLER: Die Seite kann nicht starten: ${e.message}`;
});
