// The page: diodesolve's dialogue and diodemap's map, both the programs'
// own code compiled to WebAssembly, all inside this one file.
import { runCommand } from './wasi.js';
import { openCore, splitWords } from './core.js';
import { computeMap } from './map.js';
import { drawChart, chartHeight, markKey } from './chart.js';
import { runPasses, verdict } from './passes.js';
import { showSteps, goTo, watchSteps } from './steps.js';
import { showMap, watchPanels, savePng } from './mapview.js';

const $ = (id) => document.getElementById(id);
const encoder = new TextEncoder();
const decoder = new TextDecoder();

// <body data-state="fertig"> once nothing runs any more.
let running = 0;
const begin = () => {
  running++;
  delete document.body.dataset.state;
};
const end = () => {
  if (--running === 0) document.body.dataset.state = 'fertig';
};

// The query string: U, R, IS of the dialogue; schritt, the pass of the
// step view (N7); karte, the map's arguments.
const query = new URLSearchParams(location.search);
const keepUrl = () => {
  try {
    history.replaceState(null, '', `?${query.toString().replace(/\+/g, '%20')}`);
  } catch {
    // file:// in some browsers: the link stays as it was
  }
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

// ---- The dialogue ----

const fields = ['U', 'R', 'IS'];
// Each answer is exactly one line: what a field or a link holds up to its
// first line break (an <input> would drop the breaks and join the lines).
const firstLine = (text) => text.split(/[\r\n]/)[0];
let solver = null;
let core = null;
let mapModule = null; // the page's module, shared with the workers
let chart = null;

// Shows standard error line by line, warnings and errors apart; the text
// stays exactly what the program wrote.
function showMessages(text) {
  const box = $('meldungen');
  box.replaceChildren();
  for (const line of text.split(/(?<=\n)/)) {
    if (line === '') continue;
    const span = document.createElement('span');
    span.className = line.startsWith('FEHLER') ? 'fehler' : 'warnung';
    span.textContent = line;
    box.append(span);
  }
}

function runDialogue() {
  begin();
  const answers = fields.map((f) => firstLine($(f).value));
  fields.forEach((f, k) => query.set(f, answers[k]));
  keepUrl();
  const stdin = encoder.encode(answers.map((a) => `${a}\n`).join(''));
  const result = runCommand(solver, stdin);
  showOutput(decoder.decode(result.stdout));
  showMessages(decoder.decode(result.stderr));
  $('status').textContent = `Exit-Status ${result.status}`;
  const run = runPasses(core, stdin);
  $('urteil').replaceChildren(
    ...(run ? run.methods : []).map(({ method }, m) => {
      const item = document.createElement('li');
      item.textContent = `${method.name}: ${verdict(run, m)}`;
      return item;
    }),
  );
  const read = core.readTranscript(result.stdout);
  if (chart) chart.destroy();
  chart = null;
  $('chart-hinweis').textContent = '';
  if (read.series) {
    const width = $('chart').clientWidth || 320;
    chart = drawChart($('chart'), read.series, core.methods, width, openPass, (text) => {
      $('chart-ansage').textContent = text;
    });
    $('chart-hinweis').textContent = markKey;
  } else $('chart-hinweis').textContent = `Kein Konvergenzbild: ${read.why.replace(/^FEHLER: /, '')}`;
  showSteps(core, run, 0, 1, (letter, pass) => {
    query.set('schritt', `${letter}${pass}`);
    keepUrl();
  });
  if (!run) query.delete('schritt');
  keepUrl();
  end();
}

// Shows standard output as written, each line a span; a report line opens
// in the step view on a click, or on Enter: the arrow keys move among the
// report lines, of which one at a time is in the tab order.
const reportLine = () => new RegExp(`([${core.methods.map((m) => m.letter).join('')}]) Pass +(\\d+)`);
function showOutput(text) {
  let first = true;
  $('ausgabe').replaceChildren(
    ...text
      .split(/(?<=\n)/)
      .filter((l) => l !== '')
      .map((line) => {
        const span = document.createElement('span');
        span.className = 'zeile';
        span.textContent = line;
        if (reportLine().test(line)) {
          span.tabIndex = first ? 0 : -1;
          first = false;
        }
        return span;
      }),
  );
}

function watchOutput() {
  const open = (line) => {
    const found = line && reportLine().exec(line.textContent);
    if (found)
      openPass(
        core.methods.findIndex((m) => m.letter === found[1]),
        Number(found[2]) - 1,
      );
  };
  $('ausgabe').addEventListener('click', (e) => open(e.target.closest('.zeile')));
  $('ausgabe').addEventListener('keydown', (e) => {
    const lines = [...$('ausgabe').querySelectorAll('.zeile[tabindex]')];
    const at = lines.indexOf(document.activeElement);
    if (at < 0) return;
    const to = { ArrowDown: at + 1, ArrowUp: at - 1, Home: 0, End: lines.length - 1 }[e.key];
    if (e.key === 'Enter') open(lines[at]);
    else if (to === undefined) return;
    else if (lines[to]) {
      lines[at].tabIndex = -1;
      lines[to].tabIndex = 0;
      lines[to].focus();
    }
    e.preventDefault();
  });
}

// Opens pass k (from 0) of method m of the table in the step view and
// shows it.
function openPass(m, k) {
  begin();
  goTo(`${core.methods[m].letter}${k + 1}`);
  $('schritt-abschnitt').scrollIntoView({ block: 'start' });
  end();
}

// ---- The map ----

const mapFields = [
  ['kU', '--U'],
  ['kR', '--R'],
  ['kIS', '--IS'],
  ['kgrid', '--grid'],
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

// Fills the map's fields from words, as far as they are its options.
function fillMapFields(words) {
  for (let k = 0; k + 1 < words.length; k++) {
    const field = mapFields.find(([, option]) => option === words[k]);
    if (field) $(field[0]).value = words[++k];
  }
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

async function main() {
  workers = startWorkers(); // they start while the modules unpack
  [solver, mapModule] = await Promise.all([unpack('modul-diodesolve'), unpack('modul-diodeweb')]);
  core = openCore(mapModule);
  for (const f of fields) if (query.has(f)) $(f).value = firstLine(query.get(f));
  const karte = query.has('karte') ? splitWords(query.get('karte')) : mapWords();
  fillMapFields(karte);
  $('eingabe').addEventListener('submit', (e) => {
    e.preventDefault();
    runDialogue();
  });
  $('karte-form').addEventListener('submit', (e) => {
    e.preventDefault();
    drawMap(mapWords());
  });
  $('png').addEventListener('click', savePng);
  watchSteps();
  watchOutput();
  // The chart follows the width of its box.
  new ResizeObserver(() => {
    const width = $('chart').clientWidth;
    if (chart && width && width !== chart.width) chart.setSize({ width, height: chartHeight(width) });
  }).observe($('chart'));
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
  $('meldungen').textContent = `FEHLER: Die Seite kann nicht starten: ${e.message}\n`;
});
