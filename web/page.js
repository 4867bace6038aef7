// The page: diodesolve's dialogue and diodemap's map, both the programs'
// own code compiled to WebAssembly, all inside this one file.
import { runCommand } from './wasi.js';
import { openCore, splitWords, methodNames } from './core.js';
import { computeMap } from './map.js';
import { drawChart } from './chart.js';
import { paintPanel, panelTexts, legendEntries, panelsPng, describeCircuit, describeEnding } from './panels.js';

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

// The query string: U, R, IS of the dialogue; karte, the map's arguments.
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
  // Each answer is exactly one line: what a field holds up to a line break.
  const answers = fields.map((f) => $(f).value.split(/[\r\n]/)[0]);
  fields.forEach((f, k) => query.set(f, answers[k]));
  keepUrl();
  const result = runCommand(solver, encoder.encode(answers.map((a) => `${a}\n`).join('')));
  $('ausgabe').textContent = decoder.decode(result.stdout);
  showMessages(decoder.decode(result.stderr));
  $('status').textContent = `Exit-Status ${result.status}`;
  const read = core.readTranscript(result.stdout);
  if (chart) chart.destroy();
  chart = null;
  $('chart-hinweis').textContent = '';
  if (read.series) chart = drawChart($('chart'), read.series, $('chart').clientWidth || 320);
  else $('chart-hinweis').textContent = `Kein Konvergenzbild: ${read.why.replace(/^FEHLER: /, '')}`;
  end();
}

// ---- The map ----

const mapFields = [['kU', '--U'], ['kR', '--R'], ['kIS', '--IS'], ['kgrid', '--grid']];
let workers = null;
let mapRun = 0;
let csvUrl = null;
let shown = null; // the texts and canvases of the map on screen
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
    return { post: (m, t) => w.postMessage(m, t || []), listen: (fn) => { listener = fn; } };
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
    const parsed = core.parse(words);
    const csv = parsed.status === 0 && core.points(0) * core.points(1) <= csvMaxPoints;
    const result = await computeMap(core, mapModule, words, workers, {
      csv,
      progress: (done, all) => { if (run === mapRun) $('fortschritt').value = done / all; },
    });
    if (run !== mapRun) return;
    $('karte-meldungen').textContent = result.stderr;
    if (result.status !== 0) return;
    showMap(result.csv, performance.now() - started);
  } catch (e) {
    $('karte-meldungen').textContent = `FEHLER: ${e.message}\n`;
  } finally {
    end();
  }
}

function showMap(csvParts, millis) {
  const rows = core.viewSize(1);
  const cols = core.viewSize(0);
  const first = core.sampleCircuit(0, 0);
  const last = core.sampleCircuit(rows - 1, cols - 1);
  const texts = panelTexts(core, first.map((v, q) => [v, last[q]]));
  const canvases = [0, 1, 2].map((m) => $(`panel${m}`));
  canvases.forEach((canvas, m) => {
    paintPanel(core, m, canvas);
    $(`titel${m}`).textContent = `${texts.methods[m].name}: ${texts.methods[m].shares}`;
  });
  $('karte-titel').textContent = texts.title;
  for (const q of ['x', 'y']) {
    const [a, b] = texts[`${q}Ends`];
    for (const m of [0, 1, 2]) {
      $(`${q}a${m}`).textContent = String(a);
      $(`${q}b${m}`).textContent = String(b);
      $(`${q}l${m}`).textContent = texts[`${q}Label`];
    }
  }
  $('karte-zeit').textContent = `berechnet in ${Math.round(millis)} ms mit ${workers.length} Workern`;
  if (csvUrl) URL.revokeObjectURL(csvUrl);
  csvUrl = null;
  const link = $('csv');
  if (csvParts) {
    csvUrl = URL.createObjectURL(new Blob(csvParts, { type: 'text/csv' }));
    link.href = csvUrl;
    link.textContent = 'CSV herunterladen';
  } else {
    link.removeAttribute('href');
    link.textContent = `CSV: mehr als ${csvMaxPoints} Punkte, bitte diodemap --csv auf der Konsole`;
  }
  shown = { texts, canvases, rows, cols, legend: legendEntries(core) };
  $('legende').replaceChildren(...shown.legend.map(([label, colour]) => {
    const item = document.createElement('li');
    const swatch = document.createElement('span');
    swatch.className = 'farbe';
    swatch.style.background = colour;
    item.append(swatch, label);
    return item;
  }));
}

// The sample under a pointer on panel m's canvas: [row, col].
function sampleAt(canvas, event) {
  const box = canvas.getBoundingClientRect();
  const col = Math.floor(((event.clientX - box.left) / box.width) * shown.cols);
  const row = shown.rows - 1 - Math.floor(((event.clientY - box.top) / box.height) * shown.rows);
  return [Math.min(shown.rows - 1, Math.max(0, row)), Math.min(shown.cols - 1, Math.max(0, col))];
}

function describeSample([row, col]) {
  const circuit = core.sampleCircuit(row, col);
  const endings = methodNames.map((name, m) => `${name}: ${describeEnding(core.ending(m, row, col))}`);
  return { circuit, text: `${describeCircuit(circuit)}. ${endings.join('; ')}.` };
}

function loadCircuit(circuit) {
  fields.forEach((f, k) => { $(f).value = String(circuit[k]); });
  runDialogue();
  $('dialog').scrollIntoView({ block: 'start' });
}

// Keyboard: arrows move a cursor over the focused panel, Enter loads it.
const cursor = [0, 0];
function panelEvents(canvas) {
  canvas.addEventListener('pointermove', (e) => {
    if (shown) $('hover').textContent = describeSample(sampleAt(canvas, e)).text;
  });
  canvas.addEventListener('click', (e) => {
    if (shown) loadCircuit(describeSample(sampleAt(canvas, e)).circuit);
  });
  canvas.addEventListener('keydown', (e) => {
    if (!shown) return;
    const step = e.shiftKey ? 10 : 1;
    const moves = { ArrowUp: [step, 0], ArrowDown: [-step, 0], ArrowLeft: [0, -step], ArrowRight: [0, step] };
    if (e.key in moves) {
      cursor[0] = Math.min(shown.rows - 1, Math.max(0, cursor[0] + moves[e.key][0]));
      cursor[1] = Math.min(shown.cols - 1, Math.max(0, cursor[1] + moves[e.key][1]));
      $('hover').textContent = describeSample(cursor).text;
      e.preventDefault();
    } else if (e.key === 'Enter') {
      loadCircuit(describeSample(cursor).circuit);
    }
  });
}

async function main() {
  workers = startWorkers(); // they start while the modules unpack
  [solver, mapModule] = await Promise.all([unpack('modul-diodesolve'), unpack('modul-diodeweb')]);
  core = openCore(mapModule);
  for (const f of fields) if (query.has(f)) $(f).value = query.get(f);
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
  $('png').addEventListener('click', async () => {
    if (!shown) return;
    const blob = await panelsPng(shown.canvases, shown.texts, shown.legend);
    const link = document.createElement('a');
    link.href = URL.createObjectURL(blob);
    link.download = 'diodemap.png';
    link.click();
  });
  [0, 1, 2].forEach((m) => panelEvents($(`panel${m}`)));
  running++; // until both have started
  const drawn = drawMap(karte); // in the workers, while the dialogue runs here
  runDialogue();
  end();
  await drawn;
}

main().catch((e) => {
  $('meldungen').textContent = `FEHLER: Die Seite kann nicht starten: ${e.message}\n`;
});
