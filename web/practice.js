// Practice ("Üben"): the passes of one method up to k - 1, and the
// question for pass k: its new estimate, and for a method with an interval
// which end it replaces, where exactly one does. While it runs, nothing
// else of the run is on the page (run.js veils it), so that the answer is
// not in the document before it is given. Right: the page says so and asks
// the next pass. Wrong: it shows the difference and the pass's
// construction in the step view. The link keeps the pass asked (ueben=N3).
import { state, update } from './state.js';
import { digitsOf } from './sentences.js';
import { showSteps } from './steps.js';
import { readNumber, judge } from './judge.js';

const $ = (id) => document.getElementById(id);

// What practice holds: the core, the run (passes.js runPasses), the method
// (index) and the pass asked (from 1), and whether it is answered.
const practice = { core: null, run: null, m: -1, k: 0, answered: false };

// The ends of method m's interval before pass k (from 1) and after it.
function endsAround(k) {
  const { passes } = practice.run.methods[practice.m];
  const before = k === 1 ? practice.run.start.slice(0, 2) : [passes[k - 2].shownA, passes[k - 2].shownB];
  const p = passes[k - 1];
  return { before, after: [p.shownA, p.shownB] };
}

// Which end pass k replaces: 0 or 1, or -1 where none or both change (the
// question is then not asked).
function replaced(k) {
  const { method } = practice.run.methods[practice.m];
  if (!method.ends) return -1;
  const { before, after } = endsAround(k);
  const moved = [0, 1].filter((e) => !Object.is(before[e], after[e]));
  return moved.length === 1 ? moved[0] : -1;
}

const cell = (tag, text) => Object.assign(document.createElement(tag), { textContent: text });

// The table of the passes shown: the start, then passes 1 to shown.
function showTable(shown) {
  const { method, passes } = practice.run.methods[practice.m];
  const ends = method.endLabels || method.ends;
  const heads = ['Durchlauf', 'I in A', 'Delta in V', ...(ends ? ends.map((e) => `${e} in A`) : [])];
  $('ueben-bisher-t').textContent = `${method.label}: die Durchläufe bis ${shown}, mit 17 Stellen`;
  const head = document.createElement('tr');
  head.append(...heads.map((h) => Object.assign(cell('th', h), { scope: 'col' })));
  $('ueben-bisher').tHead.replaceChildren(head);
  const [a, b, x] = practice.run.start;
  const text = (v) => practice.core.format(v, 17);
  const startI = method.needs.x ? text(x) : method.needs.points ? `${text(a)} und ${text(b)}` : '';
  const rows = [['Start', startI, '', ...(ends ? [text(a), text(b)] : [])]];
  for (const p of passes.slice(0, shown))
    rows.push([String(p.k + 1), p.text('next'), p.text('d'), ...(ends ? [p.text('shownA'), p.text('shownB')] : [])]);
  $('ueben-bisher').tBodies[0].replaceChildren(
    ...rows.map((r) => {
      const tr = document.createElement('tr');
      tr.append(...r.map((t) => cell('td', t)));
      return tr;
    }),
  );
}

// Asks pass k.
function ask(k) {
  const { method, passes } = practice.run.methods[practice.m];
  Object.assign(practice, { k, answered: false });
  showTable(k - 1);
  $('ueben-frage').textContent =
    `Durchlauf ${k} von ${method.label}: welchen neuen Wert I gibt er` +
    `${replaced(k) >= 0 ? ', und welches Ende seines Intervalls ersetzt er' : ''}?`;
  $('ueben-frage').dataset.verfahren = method.letter;
  $('ueben-frage').dataset.durchlauf = String(k);
  $('ueben-eingabe').value = '';
  const ends = $('ueben-ende');
  ends.hidden = replaced(k) < 0;
  ends.querySelectorAll('label').forEach((l) => l.remove());
  if (replaced(k) >= 0)
    (method.endLabels || method.ends).forEach((name, e) => {
      const label = document.createElement('label');
      const radio = Object.assign(document.createElement('input'), { type: 'radio', name: 'ende', value: String(e) });
      label.append(radio, ` ${name}`);
      ends.append(label);
    });
  $('ueben-hinweis').textContent = '';
  $('ueben-weiter').hidden = true;
  $('ueben-pruefen').disabled = false;
  $('schritt-abschnitt').hidden = true;
  if (passes.length < k) return;
  $('ueben-eingabe').focus();
}

// The step view on pass k, with no pass after it in reach.
function reveal(k) {
  const { run, m } = practice;
  const truncated = {
    ...run,
    truncated: true,
    methods: run.methods.map((r, j) => ({ ...r, passes: j === m ? r.passes.slice(0, k) : [] })),
  };
  showSteps(practice.core, truncated, { m, pass: k });
}

// The hint: the method's formula with the values pass k starts from.
function tip() {
  const { method, passes } = practice.run.methods[practice.m];
  const p = passes[practice.k - 1];
  const parts = method.tip(p, (name, field) => ({
    name,
    value: p[field],
    unit: p.unit(field),
    text: (digits) => p.text(field, digits),
  }));
  const digits = digitsOf(parts);
  let v = 0;
  $('ueben-hinweis').textContent = `Tipp: ${parts
    .map((part) => (typeof part === 'string' ? part : `${part.text(digits[v++])}${part.unit ? ` ${part.unit}` : ''}`))
    .join('')}`;
}

// Checks the answer to the pass asked.
function check() {
  if (practice.answered) return;
  const { method, passes } = practice.run.methods[practice.m];
  const p = passes[practice.k - 1];
  const verdict = $('ueben-urteil');
  const typed = readNumber($('ueben-eingabe').value);
  const end = replaced(practice.k);
  const chosen = $('ueben-ende').querySelector('input:checked');
  delete verdict.dataset.richtig;
  if (typed.why || typed.digits < 3 || (end >= 0 && !chosen)) {
    verdict.textContent = typed.why
      ? `${typed.why} Bitte einen Wert für I in A eingeben.`
      : typed.digits < 3
        ? 'Bitte mindestens 3 geltende Ziffern.'
        : 'Bitte auch das Ende wählen, das er ersetzt.';
    $('ueben-eingabe').focus();
    return;
  }
  practice.answered = true;
  const valueRight = judge(p.next, typed);
  const endRight = end < 0 || Number(chosen.value) === end;
  const names = method.endLabels || method.ends;
  const exact = p.text('next', 17);
  const endText = end < 0 ? '' : ` Er ersetzt ${names[end]}.`;
  verdict.dataset.richtig = valueRight && endRight ? 'ja' : 'nein';
  if (valueRight && endRight) {
    verdict.textContent = `Richtig: Durchlauf ${practice.k} gibt I = ${exact} A.${endText}`;
    if (practice.k < passes.length) update({ ueben: `${method.letter}${practice.k + 1}` });
    else {
      showTable(practice.k);
      verdict.textContent += ` Das war der letzte Durchlauf von ${method.label}.`;
    }
    return;
  }
  const difference = typed.value - p.next;
  verdict.textContent =
    `Nicht richtig. ${valueRight ? `I = ${exact} A stimmt.` : `Sie tippten ${$('ueben-eingabe').value.trim()}, genau ist I = ${exact} A; der Unterschied ist ${Number.isFinite(difference) ? difference.toPrecision(3) : String(difference)} A.`}` +
    `${end >= 0 && !endRight ? ` Er ersetzt nicht ${names[Number(chosen.value)]}, sondern ${names[end]}.` : endText}` +
    ' Das Bild unten zeigt, wie er entsteht.';
  showTable(practice.k);
  reveal(practice.k);
  $('ueben-pruefen').disabled = true;
  $('ueben-weiter').hidden = practice.k >= passes.length;
  if (practice.k < passes.length) $('ueben-weiter').focus();
}

// Starts practice on run at the link's pass (ueben=N3), or shows why it
// cannot. Called by run.js after every run while the link names a pass,
// and when the pass asked changes (keep: the verdict on the last one
// stays).
export function showPractice(core, run, { keep = false } = {}) {
  Object.assign(practice, { core, run });
  $('ueben').hidden = !run;
  if (!keep) {
    $('ueben-urteil').textContent = '';
    delete $('ueben-urteil').dataset.richtig;
  }
  if (!run) return;
  const found = /^([A-Z])([1-9][0-9]{0,2})$/.exec(state.ueben);
  const m = found ? run.methods.findIndex((r) => r.method.letter === found[1]) : -1;
  const said = state.ueben.length > 40 ? `${state.ueben.slice(0, 40)}…` : state.ueben;
  if (m < 0 || !run.methods[m].passes.length) {
    $('ueben').hidden = true;
    $('ueben-urteil').textContent =
      m < 0
        ? `Der Link nennt keinen Durchlauf zum Üben: "${said}". Erwartet: ein Verfahren und die Nummer, etwa N3.`
        : `${run.methods[m].method.label} läuft hier nicht: ${run.methods[m].refusal}.`;
    $('ueben-abschnitt').append($('ueben-urteil'));
    return;
  }
  $('ueben').append($('ueben-urteil'));
  practice.m = m;
  $('ueben-verfahren').value = found[1];
  const n = run.methods[m].passes.length;
  const k = Math.min(Number(found[2]), n);
  if (Number(found[2]) > n)
    $('ueben-urteil').textContent = `${run.methods[m].method.label} hat nur ${n} Durchläufe: gefragt ist der letzte.`;
  ask(k);
}

// Hides practice (the link names no pass).
export function hidePractice() {
  $('ueben').hidden = true;
}

// The choice of a method and the buttons; methods: the page's methods.
export function watchPractice(methods) {
  $('ueben-verfahren').replaceChildren(
    ...methods.map((m) =>
      Object.assign(document.createElement('option'), { value: m.letter, textContent: `${m.letter} ${m.label}` }),
    ),
  );
  $('ueben-wahl').addEventListener('submit', (e) => {
    e.preventDefault();
    update({ ueben: `${$('ueben-verfahren').value}1` });
    $('ueben-abschnitt').scrollIntoView({ block: 'start' });
  });
  $('ueben-form').addEventListener('submit', (e) => {
    e.preventDefault();
    check();
  });
  $('ueben-tipp').addEventListener('click', tip);
  $('ueben-weiter').addEventListener('click', () => {
    const { method } = practice.run.methods[practice.m];
    update({ ueben: `${method.letter}${practice.k + 1}` });
  });
  $('ueben-beenden').addEventListener('click', () => update({ ueben: null }));
}
