// Exercise sheets ("Übungsblätter"): the form takes diodelab's arguments
// for --blatt, the module writes the sheets and keys (the same code and
// bytes as diodelab), and the page shows the first sheet, prints all
// sheets or all keys (one student a page of A4), and downloads the LaTeX
// and the key as CSV.
import { save } from './download.js';

const $ = (id) => document.getElementById(id);

// The questions, by their letters on the command line.
const questions = [
  ['H', 'Halbierung: wie viele Durchläufe a priori'],
  ['Z', 'welches Verfahren zuerst endet, und warum'],
  ['K', 'warum die Regula falsi kriecht (wo sie es tut)'],
  ['F', 'der Fehler nach dem letzten Durchlauf der Tabelle'],
];

// The parts of a sheet as the module numbers them (lab/sheet.h).
const part = { page: 0, text: 1, circuit: 2, table: 3, row: 4, end: 5, question: 6, answer: 7 };

// A text of the module with its markup (X_Y a subscript, ^Y a
// superscript, I* the root) as nodes.
function marked(text) {
  const nodes = [];
  const pattern = /([A-Za-z])_([A-Za-z0-9]+)|\^(−?[A-Za-z0-9]+)|\*/g;
  let at = 0;
  for (const found of text.matchAll(pattern)) {
    nodes.push(text.slice(at, found.index));
    if (found[1]) nodes.push(found[1], Object.assign(document.createElement('sub'), { textContent: found[2] }));
    else nodes.push(Object.assign(document.createElement('sup'), { textContent: found[3] || '*' }));
    at = found.index + found[0].length;
  }
  nodes.push(text.slice(at));
  return nodes;
}

const element = (tag, className, ...children) => {
  const e = document.createElement(tag);
  if (className) e.className = className;
  e.append(...children);
  return e;
};

// The circuit of the task with the student's values beside its parts.
function circuit([u, r, iS]) {
  const picture = document.querySelector('.schaltung svg').cloneNode(true);
  picture.removeAttribute('aria-labelledby');
  picture.querySelector('title').textContent = `Schaltung: U = ${u} V, R = ${r} Ohm, I_S = ${iS} A`;
  picture.setAttribute('viewBox', '-90 0 520 190');
  picture.setAttribute('width', '320');
  picture.setAttribute('height', '117');
  const labels = picture.querySelector('g[font-family]');
  labels.querySelectorAll('text').forEach((t) => t.remove());
  const svg = (tag) => document.createElementNS('http://www.w3.org/2000/svg', tag);
  const say = (x, y, anchor, ...parts) => {
    const t = svg('text');
    Object.entries({ x, y, 'text-anchor': anchor }).forEach(([k, v]) => t.setAttribute(k, v));
    for (const [text, sub] of parts) {
      const span = svg('tspan');
      if (sub)
        Object.entries({ 'baseline-shift': 'sub', 'font-size': '11' }).forEach(([k, v]) => span.setAttribute(k, v));
      span.textContent = text;
      t.append(span);
    }
    labels.append(t);
  };
  say(12, 105, 'end', [`U = ${u} V`]);
  say(170, 20, 'middle', [`R = ${r} Ω`]);
  say(300, 90, 'start', ['I'], ['S', true], [` = ${iS} A`]);
  say(92, 26, 'start', ['I']);
  return element('figure', 'blatt-schaltung', picture);
}

// The parts (lines of the module) as pages: a div.blatt each.
export function sheetPages(lines) {
  const pages = [];
  let table = null;
  for (const line of lines.split('\n')) {
    if (line === '') continue;
    const [kind, ...texts] = line.split('\t');
    const page = pages[pages.length - 1];
    switch (Number(kind)) {
      case part.page:
        pages.push(element('div', 'blatt', element('h3', '', ...marked(texts[0]))));
        break;
      case part.text:
        page.append(element('p', '', ...marked(texts[0])));
        break;
      case part.circuit:
        page.append(circuit(texts));
        break;
      case part.table:
        table = element('table', 'blatt-tabelle', element('caption', '', ...marked(texts[0])));
        table.append(
          element('thead', '', element('tr', '', ...texts.slice(1).map((t) => element('th', '', ...marked(t))))),
          element('tbody', ''),
        );
        page.append(table);
        break;
      case part.row:
        table.tBodies[0].append(element('tr', '', ...texts.map((t) => element('td', '', ...marked(t)))));
        break;
      case part.question:
        page.append(element('p', 'frage', element('strong', '', `${texts[0]}. `), ...marked(texts[1])));
        break;
      case part.answer:
        page.append(element('p', 'antwort', element('em', '', 'Antwort: '), ...marked(texts[1])));
        break;
      default:
        table = null;
    }
  }
  return pages;
}

// The form's arguments for diodelab, and the console's command.
function sheetWords() {
  const words = ['--blatt', $('bSaat').value.trim()];
  const names = $('bNamen')
    .value.split('\n')
    .map((n) => n.trim())
    .filter(Boolean);
  if (names.length) words.push('--namen', names.join(','));
  else words.push('--anzahl', $('bAnzahl').value.trim());
  for (const [id, option] of [
    ['bU', '--U'],
    ['bR', '--R'],
    ['bIS', '--IS'],
    ['bVerfahren', '--verfahren'],
    ['bDurchlaeufe', '--durchlaeufe'],
  ])
    words.push(option, $(id).value.trim());
  const asked = [...$('bFragen').querySelectorAll('input:checked')].map((b) => b.value).join('');
  words.push('--fragen', asked);
  return words;
}

const quoted = (w) => (/^[-+.:\w]+$/.test(w) ? w : `'${w.replace(/'/g, "'\\''")}'`);

// What the sheets' buttons need: the core and whether the last arguments
// parsed.
const sheets = { core: null, ready: false, seed: '' };

function prepare() {
  const words = sheetWords();
  $('blatt-befehl').textContent = `diodelab ${words.map(quoted).join(' ')}`;
  const parsed = sheets.core.sheetParse(words);
  sheets.ready = parsed.status === 0;
  sheets.seed = words[1];
  $('blatt-meldung').textContent = parsed.stderr.trim();
  for (const id of ['blatt-drucken', 'loesung-drucken', 'blatt-latex', 'blatt-csv']) $(id).disabled = !sheets.ready;
  // The first sheet beside its key (computed alone: the others wait for
  // printing and the downloads).
  const first = sheets.ready
    ? [sheetPages(sheets.core.sheetText('first sheet'))[0], sheetPages(sheets.core.sheetText('first key'))[0]]
    : [];
  $('blatt-vorschau').replaceChildren(...first);
}

// Prints the sheets or the keys alone, one student a page.
function print(what) {
  if (!sheets.ready) return;
  const box = $('druck');
  box.replaceChildren(...sheetPages(sheets.core.sheetText(what)));
  box.hidden = false;
  document.body.classList.add('druckt');
  const done = () => {
    document.body.classList.remove('druckt');
    box.hidden = true;
    box.replaceChildren();
    window.removeEventListener('afterprint', done);
  };
  window.addEventListener('afterprint', done);
  window.print();
}

// The form and its buttons.
export function watchSheets(core) {
  sheets.core = core;
  $('bFragen').append(
    ...questions.map(([letter, text]) => {
      const box = Object.assign(document.createElement('input'), { type: 'checkbox', value: letter, checked: true });
      return element('label', '', box, ` ${letter}: ${text}`);
    }),
  );
  $('blatt-form').addEventListener('submit', (e) => {
    e.preventDefault();
    prepare();
  });
  $('blatt-drucken').addEventListener('click', () => print('sheets'));
  $('loesung-drucken').addEventListener('click', () => print('keys'));
  $('blatt-latex').addEventListener('click', () => {
    const text = sheets.ready && core.sheetText('latex');
    if (text) save(new Blob([text], { type: 'text/x-tex' }), `blaetter-${sheets.seed}.tex`);
  });
  $('blatt-csv').addEventListener('click', () => {
    const text = sheets.ready && core.sheetText('csv');
    if (text) save(new Blob([text], { type: 'text/csv' }), `loesung-${sheets.seed}.csv`);
  });
  prepare();
}
