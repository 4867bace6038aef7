// The console's view of the dialogue: as a terminal shows it, each answer
// after its prompt; and, for scripts, #ausgabe holding diodesolve's exact
// standard output (each line a span; a report line opens in the step view
// on a click or on Enter, the arrow keys moving among them) and #meldungen
// its standard error, warnings and errors apart.

const $ = (id) => document.getElementById(id);

// Every write of the run in order ([fd, bytes]), the answers typed after
// the prompts: a prompt is a write to standard output that ends in ": "
// (diodesolve flushes each before it reads), and the next answer follows
// it with its line feed, as a terminal echoes it.
function terminalText(writes, answers) {
  const decoder = new TextDecoder();
  let next = 0;
  return writes
    .map(([fd, bytes]) => {
      const text = decoder.decode(bytes);
      return fd === 1 && text.endsWith(': ') && next < answers.length ? `${text}${answers[next++]}\n` : text;
    })
    .join('');
}

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

// Shows a run of diodesolve ({ status, stdout, stderr, writes } of
// wasi.js) for the answers; letters are the methods' letters, which open
// report lines.
export function showConsole(result, answers, letters) {
  const decoder = new TextDecoder();
  $('terminal').textContent = terminalText(result.writes, answers);
  const report = new RegExp(`^([${letters}]) Pass +(\\d+)`);
  let first = true;
  $('ausgabe').replaceChildren(
    ...decoder
      .decode(result.stdout)
      .split(/(?<=\n)/)
      .filter((l) => l !== '')
      .map((line) => {
        const span = document.createElement('span');
        span.className = 'zeile';
        span.textContent = line;
        const found = report.exec(line.replace(/^.*Ampere: /, ''));
        if (found) {
          Object.assign(span.dataset, { verfahren: found[1], durchlauf: found[2] });
          span.tabIndex = first ? 0 : -1;
          first = false;
        }
        return span;
      }),
  );
  showMessages(decoder.decode(result.stderr));
  $('status').textContent = `Exit-Status ${result.status}`;
}

// Report lines open their pass: onOpen(letter, pass).
export function watchConsole(onOpen) {
  const open = (line) =>
    line && line.dataset.verfahren && onOpen(line.dataset.verfahren, Number(line.dataset.durchlauf));
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
