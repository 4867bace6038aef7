// The map on the page: the panels of the view, the legend, the CSV link,
// hovering and choosing a circuit, and the PNG of it all.
import { paintPanel, panelTexts, legendEntries, panelsPng, describeCircuit, describeEnding } from './panels.js';

const $ = (id) => document.getElementById(id);
let shown = null; // the texts and canvases of the map on screen
let csvUrl = null;

// Shows the map of core's view: the panels, their titles and axis ends,
// the legend, and the CSV link (csvParts, or without them tooBig instead).
export function showMap(core, csvParts, tooBig) {
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
  if (csvUrl) URL.revokeObjectURL(csvUrl);
  csvUrl = null;
  const link = $('csv');
  if (csvParts) {
    csvUrl = URL.createObjectURL(new Blob(csvParts, { type: 'text/csv' }));
    link.href = csvUrl;
    link.textContent = 'CSV herunterladen';
  } else {
    link.removeAttribute('href');
    link.textContent = tooBig;
  }
  shown = { texts, canvases, rows, cols, legend: legendEntries(core) };
  pointed = null;
  $('legende').replaceChildren(...shown.legend.map(([label, colour]) => {
    const item = document.createElement('li');
    const swatch = document.createElement('span');
    swatch.className = 'farbe';
    swatch.style.background = colour;
    item.append(swatch, label);
    return item;
  }));
}

// The sample under a pointer on a panel's canvas: [row, col].
function sampleAt(canvas, event) {
  const box = canvas.getBoundingClientRect();
  const col = Math.floor(((event.clientX - box.left) / box.width) * shown.cols);
  const row = shown.rows - 1 - Math.floor(((event.clientY - box.top) / box.height) * shown.rows);
  return [Math.min(shown.rows - 1, Math.max(0, row)), Math.min(shown.cols - 1, Math.max(0, col))];
}

function describeSample(core, [row, col]) {
  const circuit = core.sampleCircuit(row, col);
  const endings = core.methodNames.map((name, m) => `${name}: ${describeEnding(core, core.ending(m, row, col))}`);
  return { circuit, text: `${describeCircuit(core, circuit)}. ${endings.join('; ')}.` };
}

// Hovering a panel, or the arrow keys on a focused one, shows a sample's
// circuit and endings; a click, or Enter, hands the circuit to load.
export function watchPanels(core, load) {
  for (const m of [0, 1, 2]) panelEvents(core, $(`panel${m}`), load);
}

const cursor = [0, 0];
// The sample the pointer last showed: a click loads exactly that one, as
// a click's coordinates may be rounded where a move's are fractional
// (zoom, HiDPI screens).
let pointed = null;
function panelEvents(core, canvas, load) {
  const show = (e) => {
    if (!shown) return;
    pointed = sampleAt(canvas, e);
    $('hover').textContent = describeSample(core, pointed).text;
  };
  canvas.addEventListener('pointermove', show);
  canvas.addEventListener('pointerdown', show);
  canvas.addEventListener('pointerleave', () => { pointed = null; });
  canvas.addEventListener('click', (e) => {
    if (shown) load(describeSample(core, pointed || sampleAt(canvas, e)).circuit);
  });
  canvas.addEventListener('keydown', (e) => {
    if (!shown) return;
    const step = e.shiftKey ? 10 : 1;
    const moves = { ArrowUp: [step, 0], ArrowDown: [-step, 0], ArrowLeft: [0, -step], ArrowRight: [0, step] };
    if (e.key in moves) {
      cursor[0] = Math.min(shown.rows - 1, Math.max(0, cursor[0] + moves[e.key][0]));
      cursor[1] = Math.min(shown.cols - 1, Math.max(0, cursor[1] + moves[e.key][1]));
      $('hover').textContent = describeSample(core, cursor).text;
      e.preventDefault();
    } else if (e.key === 'Enter') {
      load(describeSample(core, cursor).circuit);
    }
  });
}

// Downloads the PNG of the map on screen.
export async function savePng() {
  if (!shown) return;
  const blob = await panelsPng(shown.canvases, shown.texts, shown.legend);
  const link = document.createElement('a');
  link.href = URL.createObjectURL(blob);
  link.download = 'diodemap.png';
  link.click();
  setTimeout(() => URL.revokeObjectURL(link.href), 0);
}
