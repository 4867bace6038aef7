// The map's form: its fields as diodemap's arguments and as the command
// that draws the same map on the console, the Web Workers, and a map run
// in them (map.js) and shown (mapview.js); a later map replaces one still
// running. The link keeps the map's arguments (state.js).
import { splitWords } from './core.js';
import { computeMap } from './map.js';
import { showMap, watchPanels, savePng, markCircuit } from './mapview.js';
import { state, named, update } from './state.js';

const $ = (id) => document.getElementById(id);

const mapFields = [
  ['kU', '--U'],
  ['kR', '--R'],
  ['kIS', '--IS'],
  ['kgrid', '--grid'],
  ['kverfahren', '--verfahren'],
  ['kfarbe', '--farbe'],
];
// The CSV comes with maps up to this many points (about 55 MB of text);
// larger ones are for diodemap --csv on the console.
const csvMaxPoints = 250000;

// What runs here: the page's core and module, the workers, the number of
// the latest map, the dialogue's circuit to mark, busy(on).
const maps = { core: null, module: null, workers: null, latest: 0, circuit: () => null, busy: () => {} };

// count workers from the workers' source.
export function startWorkers(source) {
  const url = URL.createObjectURL(new Blob([source], { type: 'text/javascript' }));
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
    if (field) $(field[0]).value = words[++k] === 'durchlaeufe' ? '' : words[k]; // the colour's default
  }
  showCommand();
}

async function drawMap(words) {
  const run = ++maps.latest;
  maps.busy(true);
  $('karte-meldungen').textContent = '';
  $('fortschritt').value = 0;
  update({ karte: words.join(' ') });
  try {
    const started = performance.now();
    const result = await computeMap(maps.core, maps.module, words, maps.workers, {
      csvUpTo: csvMaxPoints,
      progress: (done, all) => {
        if (run === maps.latest) $('fortschritt').value = done / all;
      },
    });
    if (run !== maps.latest || result.status === null) return; // a later map replaced it
    $('karte-meldungen').textContent = result.answered ? result.stdout : result.stderr;
    if (result.status !== 0 || result.answered) return;
    showMap(maps.core, result.csv, `CSV: mehr als ${csvMaxPoints} Punkte, bitte diodemap --csv auf der Konsole`);
    if (maps.circuit()) markCircuit(maps.circuit());
    $('karte-zeit').textContent =
      `berechnet in ${Math.round(performance.now() - started)} ms mit ${maps.workers.length} Workern`;
  } catch (e) {
    $('karte-meldungen').textContent = `FEHLER: ${e.message}\n`;
  } finally {
    maps.busy(false);
  }
}

// Fills the fields from the link (or keeps their defaults), follows the
// form, and draws the first map; resolves once it is drawn. parts: { core,
// module, workers, circuit (the dialogue's, or null), busy(on), load(circuit)
// (a click on the map) }.
export function startMaps(parts) {
  Object.assign(maps, parts);
  const karte = named('karte') ? splitWords(state.karte) : mapWords();
  fillMapFields(karte);
  $('karte-form').addEventListener('submit', (e) => {
    e.preventDefault();
    drawMap(mapWords());
  });
  $('karte-form').addEventListener('input', showCommand);
  $('png').addEventListener('click', savePng);
  watchPanels(parts.load);
  return drawMap(karte);
}
