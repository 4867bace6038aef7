// The page: the task, diodesolve's dialogue and diodelab's comparison of
// every method on its circuit (tables, chart, step view), and diodemap's
// map, all the programs' own code compiled to WebAssembly, inside this one
// file. This module starts it all: the modules, the state of the link
// (state.js), the run (run.js), the map (mapform.js), the step view, the
// help's list of methods, practice and the sheets, the folds and the
// presentation mode.
import { openCore } from './core.js';
import { checkMarks } from './chart.js';
import { pageMethodsOf } from './passes.js';
import { watchSteps, goTo, redrawSteps } from './steps.js';
import { watchRun, runDialogue, redrawRun, lastCircuit, answerFields } from './run.js';
import { startMaps, startWorkers } from './mapform.js';
import { state, named, update, watch } from './state.js';
import { watchSheets } from './sheets.js';

const $ = (id) => document.getElementById(id);

// <body data-state="fertig"> once nothing runs any more.
let running = 0;
const busy = (on) => {
  if (on) {
    running++;
    delete document.body.dataset.state;
  } else if (--running === 0) document.body.dataset.state = 'fertig';
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

// The help's list of the methods, from the table and the methods' objects:
// each with its line and its order from the literature.
function listMethods(core) {
  $('verfahren-hilfe').replaceChildren(
    ...pageMethodsOf(core).map((method) => {
      const item = document.createElement('li');
      const name = Object.assign(document.createElement('strong'), { textContent: method.label });
      item.append(name, ` ${method.summary} Ordnung laut Literatur: ${method.order}.`);
      return item;
    }),
  );
}

// The task's start values, by what each method of the table needs.
function listStarts(core) {
  const methods = pageMethodsOf(core);
  const names = (need) =>
    methods
      .filter((m) => m.needs[need])
      .map((m) => m.label)
      .join(', ');
  $('startwerte').append(
    `${names('bracket')} suchen im Intervall [0, U/R]; ${names('x')} beginnen bei x0 = U/R; ` +
      `${names('points')} bei den Punkten 0 und U/R.`,
  );
}

// A click on the map runs its circuit in the dialogue.
function loadCircuit(circuit) {
  answerFields.forEach((f, k) => {
    $(f).value = String(circuit[k]);
  });
  runDialogue();
  $('dialog').scrollIntoView({ block: 'start' });
}

// The folds start closed on a phone, so that the page stays short; the
// map's fields stay open when the link names a map.
function fold() {
  if (window.matchMedia('(max-width: 40rem)').matches)
    document.querySelectorAll('details.falte').forEach((d) => {
      d.open = d.id === 'karte-falte' && named('karte');
    });
}

// The presentation mode: one button turns it on and off (Escape too), the
// link keeps it, and the charts are drawn again for their new width.
function watchPresentation() {
  const button = $('vortrag');
  const show = () => {
    const on = state.vortrag === '1';
    document.body.classList.toggle('vortrag', on);
    button.setAttribute('aria-pressed', String(on));
    button.textContent = on ? 'Vortragsmodus beenden' : 'Vortragsmodus';
    redrawRun();
    redrawSteps();
  };
  watch(['vortrag'], show);
  button.addEventListener('click', () => update({ vortrag: state.vortrag === '1' ? '' : '1' }));
  document.addEventListener('keydown', (e) => {
    if (e.key === 'Escape' && state.vortrag === '1') update({ vortrag: '' });
  });
  if (state.vortrag === '1') show();
}

async function main() {
  fold();
  const workers = startWorkers(block('worker-quelle')); // they start while the modules unpack
  const [solver, module] = await Promise.all([unpack('modul-diodesolve'), unpack('modul-diodeweb')]);
  const core = openCore(module);
  checkMarks(core.methods);
  pageMethodsOf(core); // every method has its object, every object its keys
  listMethods(core);
  listStarts(core);
  watchRun({ solver, core }, busy);
  watchSteps();
  watchSheets(core);
  watchPresentation();
  busy(true); // until both have started
  const drawn = startMaps({ core, module, workers, circuit: lastCircuit, busy, load: loadCircuit });
  // Until now a click would have sent the forms the browser's way, which
  // loads the page again without its link.
  document.querySelectorAll('button[type="submit"]').forEach((b) => {
    b.disabled = false;
  });
  const step = state.schritt;
  runDialogue(); // while the map runs in the workers
  if (step !== null && state.schritt !== null) $('schritt-meldung').textContent = goTo(step);
  busy(false);
  await drawn;
}

main().catch((e) => {
  $('start-meldung').textContent = `FEHLER: Die Seite kann nicht starten: ${e.message}`;
});
