// The run as tables: the true root, the comparison of every method with
// it, how each ended, and one table of passes per chosen method (tabs),
// with 6 or 17 digits, each exportable as CSV and as a LaTeX tabular. Every
// value is the module's, formatted by it.
import { verdict, ran } from './passes.js';

const $ = (id) => document.getElementById(id);
const cell = (tag, text, attrs = {}) => {
  const e = document.createElement(tag);
  e.textContent = text;
  for (const [k, v] of Object.entries(attrs)) e.setAttribute(k, v);
  return e;
};

// The measures against the true root: where one is not a number although
// the estimate is, it does not apply to the pass (no root, no order).
const measureFields = new Set(['error', 'ulps', 'digits', 'order']);
// The step applies from pass 2 on.
const applies = (run, p, field) =>
  field === 'step'
    ? p.k > 0
    : !measureFields.has(field) ||
      (run.root && !(Number.isNaN(p[field]) && (field === 'order' || !Number.isNaN(p.next))));

// A cell: the module's text with digits digits, a nan as the console
// writes it (nan or -nan); notApplicable where a measure does not apply.
const shown = (run, p, field, digits, notApplicable) =>
  applies(run, p, field) ? p.text(field, digits) : notApplicable;

// The columns of method's pass table: [header, field, digits (6 or 17 by
// the switch, or a fixed count)] in order.
export function columns(method) {
  const delta = method.deltaAtStart ? 'Delta in V: Residuum am Startwert des Durchlaufs' : 'Delta in V: Residuum bei I';
  const cols = [
    ['Durchlauf', null],
    ['I in A', 'next'],
    [delta, 'd'],
  ];
  const ends = method.endLabels || method.ends;
  if (ends) cols.push([`${ends[0]} in A`, 'shownA'], [`${ends[1]} in A`, 'shownB']);
  cols.push(
    ['Schritt |I − I vorher| in A', 'step'],
    ['I − I* in A', 'error'],
    ['Abstand in ulp', 'ulps', 3],
    ['richtige Stellen', 'digits', 3],
  );
  cols.push([`beobachtete Ordnung${method.byWidth ? ' (der Intervallbreite)' : ''}`, 'order', 3]);
  return cols;
}

// The true root, and the comparison of every method with it.
export function showRoot(run) {
  const box = $('wurzel');
  box.dataset.wert = run.root ? run.root.nearest : 'keine';
  box.textContent = run.root
    ? `Wahre Nullstelle: I* = ${run.root.nearest} A (das nächste double); auf 40 Stellen I* = ${run.root.digits} A ` +
      '(die Nullstelle für U, R, I_S und U_T als binary64-Werte).'
    : 'Keine wahre Nullstelle: R oder I_S ist nicht positiv, oder ein Wert ist nicht endlich.';
  const body = $('vergleich').tBodies[0];
  body.replaceChildren(
    ...run.methods.map(({ method, passes, ending, ulpsText, orderText, refusal, cost }) => {
      const row = document.createElement('tr');
      const head = cell('th', `${method.letter} ${method.label}`, { scope: 'row' });
      if (refusal) {
        Object.assign(row.dataset, { verfahren: method.letter, durchlaeufe: '0', ende: 'kein Lauf', letzter: '' });
        row.append(
          head,
          cell('td', '–'),
          cell('td', `kein Lauf: ${refusal}`, { colspan: '4' }),
          cell('td', method.order),
          cell('td', '–'),
          cell('td', '–'),
        );
        return row;
      }
      const last = passes[passes.length - 1];
      Object.assign(row.dataset, {
        verfahren: method.letter,
        durchlaeufe: String(passes.length),
        ende: ending,
        letzter: last.text('next', 17),
        auswertungen: cost.slice(0, 3).join(),
        effizienz: String(cost[4]),
      });
      const [f, df, start, m, index] = cost;
      row.append(
        head,
        cell('td', String(passes.length)),
        cell('td', ending),
        cell('td', last.text('next', 17)),
        cell('td', ulpsText),
        cell('td', orderText === '-' ? 'nicht bestimmbar' : orderText),
        cell('td', method.order),
        cell('td', `${f} f${df ? ` + ${df} f′` : ''} (Start: ${start} f)`),
        cell('td', `${index.toFixed(2)} (m = ${m})`),
      );
      return row;
    }),
  );
  $('urteil').replaceChildren(...run.methods.map(({ method }, m) => cell('li', `${method.label}: ${verdict(run, m)}`)));
}

// The tabs and the table of the chosen methods (indices into run.methods),
// tab the letter of the one shown, digits 6 or 17; onOpen(m, k) opens pass
// k of method m in the step view, onTab(letter) follows the tabs.
export function showTables(run, { chosen: picked, tab, digits, onOpen, onTab }) {
  const chosen = ran(run, picked);
  const tabs = $('reiter');
  const shownMethod = chosen.includes(run.methods.findIndex((r) => r.method.letter === tab))
    ? run.methods.findIndex((r) => r.method.letter === tab)
    : chosen[0];
  tabs.replaceChildren(
    ...chosen.map((m) => {
      const { method } = run.methods[m];
      const b = cell('button', method.label, {
        type: 'button',
        role: 'tab',
        id: `reiter-${method.letter}`,
        'aria-controls': `tabelle-${method.letter}`,
        'aria-selected': String(m === shownMethod),
        tabindex: m === shownMethod ? '0' : '-1',
      });
      b.addEventListener('click', () => onTab(method.letter));
      b.addEventListener('keydown', (e) => {
        const at = chosen.indexOf(m);
        const to = { ArrowRight: at + 1, ArrowLeft: at - 1 }[e.key];
        if (to === undefined) return;
        const next = chosen[(to + chosen.length) % chosen.length];
        onTab(run.methods[next].method.letter);
        $(`reiter-${run.methods[next].method.letter}`).focus();
      });
      return b;
    }),
  );
  const box = $('tabellen');
  if (shownMethod === undefined) return box.replaceChildren();
  box.replaceChildren(passTable(run, shownMethod, digits, onOpen));
}

// The table of method m's passes, its verdict and its downloads.
function passTable(run, m, digits, onOpen) {
  const { method, passes } = run.methods[m];
  const cols = columns(method);
  const panel = cell('section', '', {
    id: `tabelle-${method.letter}`,
    role: 'tabpanel',
    'aria-labelledby': `reiter-${method.letter}`,
    'data-verfahren': method.letter,
    class: 'durchlaeufe',
  });
  const table = document.createElement('table');
  const head = table.createTHead().insertRow();
  for (const [name] of cols) head.append(cell('th', name, { scope: 'col' }));
  const body = table.createTBody();
  passes.forEach((p, k) => {
    const row = body.insertRow();
    row.dataset.durchlauf = String(k + 1);
    row.tabIndex = k === 0 ? 0 : -1;
    row.append(cell('th', String(k + 1), { scope: 'row' }));
    for (const [, field, fixed] of cols.slice(1)) row.append(cell('td', shown(run, p, field, fixed || digits, '–')));
    row.addEventListener('click', () => onOpen(m, k));
    row.addEventListener('keydown', (e) => {
      const to = { ArrowDown: k + 1, ArrowUp: k - 1, Home: 0, End: passes.length - 1 }[e.key];
      if (e.key === 'Enter') onOpen(m, k);
      else if (to === undefined || !body.rows[to]) return;
      else {
        row.tabIndex = -1;
        body.rows[to].tabIndex = 0;
        body.rows[to].focus();
      }
      e.preventDefault();
    });
  });
  const wrap = cell('div', '', { class: 'rolle' });
  wrap.append(table);
  const end = cell('p', `Ende: ${verdict(run, m)}.`, { class: 'tabellen-ende' });
  const notes = [];
  if (passes.some((p) => p.digits < 0))
    notes.push(
      'Richtige Stellen sind −log10(|I − I*| / |I*|): negativ, wo der Fehler größer ist als I* selbst ' +
        '(ein Schätzwert, der mehr als doppelt so groß oder negativ ist).',
    );
  if (passes.some((p) => !Number.isNaN(p.order)))
    notes.push(
      `Die beobachtete Ordnung ln(e[k+1] / e[k]) / ln(e[k] / e[k-1]) steht nur, wo drei Werte e ${method.byWidth ? '(die Breiten des Intervalls)' : '(die Fehler)'} ` +
        'mehr als 1024 ulp von I* groß sind und fallen und die Schätzung eines benachbarten Durchlaufs auf ein Zehntel übereinstimmt.',
    );
  const downloads = cell('p', '', { class: 'downloads' });
  downloads.append(
    download(`${method.letter}-durchlaeufe.csv`, 'CSV', () => passCsv(run, m), 'text/csv'),
    ' ',
    download(`${method.letter}-durchlaeufe.tex`, 'LaTeX', () => passLatex(run, m, digits, true), 'text/x-tex'),
    ' ',
    download(
      `${method.letter}-durchlaeufe-schlicht.tex`,
      'LaTeX ohne siunitx',
      () => passLatex(run, m, digits, false),
      'text/x-tex',
    ),
  );
  panel.append(wrap, end, ...notes.map((text) => cell('p', text, { class: 'tabellen-hinweis' })), downloads);
  return panel;
}

// A link that downloads what make() returns, made when it is clicked.
function download(name, label, make, type) {
  const link = cell('a', `${label} herunterladen`, { href: '#', download: name });
  link.addEventListener('click', () => {
    if (link.dataset.url) URL.revokeObjectURL(link.dataset.url);
    link.dataset.url = URL.createObjectURL(new Blob([make()], { type }));
    link.href = link.dataset.url;
  });
  return link;
}

// What an export records of its run: the circuit (U, R, I_S as the
// dialogue read them, %.17g) and the method.
const circuitOf = (run) => run.circuitText;

// Method m's passes as CSV: every value with 17 digits, a measure that does
// not apply empty; each row ends with the circuit and the method's letter.
export function passCsv(run, m) {
  const { method, passes } = run.methods[m];
  const cols = columns(method);
  const names = [
    'Durchlauf',
    'I',
    'Delta',
    ...(method.ends || []),
    'Schritt',
    'Fehler',
    'Abstand_ulp',
    'Stellen',
    'Ordnung',
  ];
  const lines = passes.map((p, k) => [
    String(k + 1),
    ...cols.slice(1).map(([, f, fixed]) => shown(run, p, f, fixed || 17, '')),
    ...circuitOf(run),
    method.letter,
  ]);
  return `${[[...names, 'U', 'R', 'IS', 'verfahren'], ...lines].map((l) => l.join(',')).join('\n')}\n`;
}

// Method m's passes as LaTeX (booktabs, longtable, array; siunitx's \num{}
// or, plain, numbers in math mode) with digits digits, for A4 with 2 cm
// margins: a table of the values and the measures (in two where one would
// be wider than the page), each headed by the circuit and the method.
export function passLatex(run, m, digits, siunitx) {
  const { method, passes } = run.methods[m];
  const cols = columns(method);
  const tex = (t) => t.replace(/−/g, '-').replace(/I\*/g, '$I^*$').replace(/_/g, '\\_').replace(/\|/g, '$|$');
  const number = (t) =>
    siunitx ? `\\num[group-digits=false]{${t}}` : `$${t.replace(/e(-?)\+?0*(\d+)$/, '\\cdot 10^{$1$2}')}$`;
  const num = (t) => (t === null ? '--' : /^-?\d/.test(t) ? number(t) : `\\texttt{${t}}`);
  const [u, r, iS] = circuitOf(run);
  const title = `${tex(method.label)}: $U$ = ${u} V, $R$ = ${r} $\\Omega$, $I_S$ = ${iS} A`;
  // Each value column wide enough for its digits (siunitx writes an
  // exponent as a power of ten); a header wraps.
  const width = (fixed) => (fixed ? 1.7 : digits > 6 ? 3.5 : siunitx ? 2.3 : 2.1);
  // In two where one is wider than the 17 cm between the margins (the
  // first column, "Durchlauf", 1.3 cm, 6 pt between columns).
  const wide = 1.3 + cols.slice(1).reduce((sum, [, , fixed]) => sum + width(fixed), 0) + 0.21 * cols.length > 17;
  const at = cols.findIndex(([, f]) => f === 'step');
  const groups = wide ? [cols.slice(0, at), [cols[0], ...cols.slice(at)]] : [cols];
  const table = (group) => [
    `\\begin{longtable}{@{}r${group
      .slice(1)
      .map(([, , fixed]) => `>{\\raggedleft\\arraybackslash}p{${width(fixed)}cm}`)
      .join('')}@{}}`,
    `\\multicolumn{${group.length}}{@{}l}{${title}} \\\\`,
    '\\toprule',
    `${group.map(([name]) => tex(name)).join(' & ')} \\\\`,
    '\\midrule',
    '\\endhead',
    ...passes.map(
      (p, k) =>
        `${[String(k + 1), ...group.slice(1).map(([, f, fixed]) => num(shown(run, p, f, fixed || digits, null)))].join(' & ')} \\\\`,
    ),
    '\\bottomrule',
    '\\end{longtable}',
  ];
  return [
    `% ${method.label}: die Durchläufe (diodesolve/diodelab), booktabs${siunitx ? ' und siunitx' : ''}`,
    `% Schaltung: U = ${u} V, R = ${r} Ohm, I_S = ${iS} A; Verfahren: ${method.letter} ${method.label}`,
    `% für A4 mit 2 cm Rand: \\usepackage[a4paper,margin=2cm]{geometry}, \\usepackage{array,booktabs,longtable${siunitx ? ',siunitx' : ''}}`,
    '{\\footnotesize\\setlength{\\tabcolsep}{3pt}',
    ...groups.flatMap(table),
    '}',
    '',
  ].join('\n');
}
