// Lets the passes play by themselves: a button plays and pauses, a choice
// sets the speed, and on the view it serves the space bar plays and pauses
// and + and − change the speed. The step view and the convergence chart
// each have one.
const $ = (id) => document.getElementById(id);

// The speeds, in passes a second.
const speeds = [0.5, 1, 2, 4];

// Makes the player of the button and the speed choice (ids) for the view
// (the element whose keys it serves); each tick calls step(), which moves
// one pass on and returns false once there is none left; restart() goes
// back to the first pass when play starts at the end; atEnd() says whether
// the last pass is shown. Returns { stop }.
export function makePlayer({ button, speed, view, step, restart, atEnd }) {
  const play = $(button);
  const choice = $(speed);
  choice.replaceChildren(
    ...speeds.map((s) =>
      Object.assign(document.createElement('option'), {
        value: String(s),
        textContent: s < 1 ? `1 Durchlauf je ${1 / s} s` : `${s} ${s === 1 ? 'Durchlauf' : 'Durchläufe'} je s`,
        selected: s === 1,
      }),
    ),
  );
  let timer = null;
  const show = () => {
    play.setAttribute('aria-pressed', String(timer !== null));
    play.textContent = timer === null ? '\u25b6 Abspielen' : '\u275a\u275a Anhalten';
  };
  const stop = () => {
    clearInterval(timer);
    timer = null;
    show();
  };
  const tick = () => {
    if (!step()) stop();
  };
  const start = () => {
    if (atEnd()) restart();
    timer = setInterval(tick, 1000 / Number(choice.value));
    show();
  };
  const toggle = () => (timer === null ? start() : stop());
  const faster = (by) => {
    choice.selectedIndex = Math.max(0, Math.min(speeds.length - 1, choice.selectedIndex + by));
    if (timer !== null) {
      clearInterval(timer);
      start();
    }
  };
  play.addEventListener('click', toggle);
  choice.addEventListener('change', () => faster(0));
  $(view).addEventListener('keydown', (e) => {
    const act = { ' ': toggle, '+': () => faster(1), '-': () => faster(-1) }[e.key];
    if (!act) return;
    e.preventDefault();
    act();
  });
  show();
  return { stop };
}
