// The map's three panels, one per method, coloured as diodemap's pictures
// are (the colours come from the module's palette), with their titles,
// axis ends, legend and a PNG of the whole.
const css = (rgb) => `#${rgb.toString(16).padStart(6, '0')}`;

// "U = 5 V, R = 1000 Ohm, I_S = 1e-12 A" (each value exactly, as it reads
// back).
export function describeCircuit(core, v) {
  return v.map((value, q) => `${core.quantityNames[q]} = ${value} ${core.quantityUnits[q]}`).join(', ');
}

// What an ending says, with the run's evaluations of f and f′: "38
// Durchläufe bis zur Wiederholung, 40 Auswertungen von f und f′", or its
// class ("Grenze 200: kreist (wechselt zwischen zwei Werten), 200
// Auswertungen …").
export function describeEnding(core, ending, evaluations) {
  const end = core.endingClass(ending);
  const { atLimit, legend } = core.endClasses[end];
  const said = end
    ? atLimit
      ? `Grenze ${core.passLimit}: ${legend}`
      : legend
    : `${ending} Durchläufe ${core.passesTo()}`;
  return `${said}, ${evaluations} Auswertungen von f und f′`;
}

// The legend's entries: the buckets of the colour scale (passes up to the
// limit, or evaluations) and its top, and the other classes the view
// shows, each with its colour.
export function legendEntries(core) {
  const entries = [...core.buckets(), core.bucketTop()].map((p) => [String(p), css(core.countColour(p))]);
  for (const k of core.classOrder.slice(1)) {
    const { name, code, atLimit } = core.endClasses[k];
    if (core.viewShows(k)) entries.push([`${atLimit ? 'Grenze, ' : ''}${name}`, css(core.colour(code, 0))]);
  }
  return entries;
}

// Paints method m's panel of core's view onto canvas (one pixel a sample,
// the first y at the bottom).
export function paintPanel(core, m, canvas) {
  const cols = core.viewSize(0);
  const rows = core.viewSize(1);
  canvas.width = cols;
  canvas.height = rows;
  const context = canvas.getContext('2d');
  const image = context.createImageData(cols, rows);
  const colours = new Map();
  for (let r = 0; r < rows; r++) {
    for (let c = 0; c < cols; c++) {
      const e = core.ending(m, r, c);
      const key = e * 65536 + core.count(m, r, c);
      if (!colours.has(key)) colours.set(key, core.colour(e, key % 65536));
      const rgb = colours.get(key);
      const at = 4 * ((rows - 1 - r) * cols + c);
      image.data[at] = rgb >> 16;
      image.data[at + 1] = (rgb >> 8) & 255;
      image.data[at + 2] = rgb & 255;
      image.data[at + 3] = 255;
    }
  }
  context.putImageData(image, 0, 0);
}

// The texts around the panels: title, axis labels and their ticks (the
// module's: place 0 at the first sample, 1 at the last, and label).
export function panelTexts(core) {
  return {
    title: core.title(),
    methods: core.mapMethods().map((index, m) => ({ name: core.methods[index].name, shares: core.shares(m) })),
    passesTo: core.passesTo(),
    counted: core.counted().replace('Durchlaeufe', 'Durchläufe').replace("f'", 'f′'),
    xLabel: core.axisLabel(0),
    yLabel: core.axisLabel(1),
    xTicks: core.ticks(0),
    yTicks: core.ticks(1),
    cols: core.viewSize(0),
    rows: core.viewSize(1),
  };
}

// A tick label written as a power of ten ("4.7e3", "1e-16"): { base:
// "4.7·10" or "10", exponent: "3" }; null for a plain number.
export function tickPower(text) {
  const found = /^(-?[0-9.]+)e\+?(-?)0*([0-9]+)$/.exec(text);
  if (!found) return null;
  return { base: found[1] === '1' ? '10' : `${found[1]}·10`, exponent: `${found[2]}${found[3]}` };
}

// Writes a tick label at x, y with the canvas's alignment, its exponent
// raised and smaller.
function tickText(g, text, x, y) {
  const power = tickPower(text);
  if (!power) return g.fillText(text, x, y);
  const font = g.font;
  const base = g.measureText(power.base).width;
  g.font = font.replace(/^(\d+)px/, (_, px) => `${Math.round(px * 0.75)}px`);
  const raised = g.measureText(power.exponent).width;
  const align = g.textAlign;
  const left = align === 'center' ? x - (base + raised) / 2 : align === 'right' ? x - base - raised : x;
  g.textAlign = 'left';
  g.fillText(power.exponent, left + base, y - 6);
  g.font = font;
  g.fillText(power.base, left, y);
  g.textAlign = align;
}

// One PNG of the panels (in rows of up to three) with titles, axis ends and
// legend: resolves to a Blob.
const perRow = 3;
export function panelsPng(canvases, texts, legend) {
  const side = 400;
  const gap = 70;
  const band = side + 130; // a row of panels with its titles and axis text
  const cols = Math.min(perRow, canvases.length);
  const width = Math.max(cols * side + (cols + 1) * gap, 900);
  const height = Math.ceil(canvases.length / perRow) * band + 130;
  const out = document.createElement('canvas');
  out.width = width;
  out.height = height;
  const g = out.getContext('2d');
  g.fillStyle = '#fff';
  g.fillRect(0, 0, width, height);
  g.fillStyle = '#000';
  g.font = '18px sans-serif';
  g.textAlign = 'center';
  g.fillText(texts.title, width / 2, 28);
  canvases.forEach((canvas, m) => {
    const left = gap + (m % perRow) * (side + gap);
    const rowTop = Math.floor(m / perRow) * band;
    const topEdge = rowTop + 90;
    g.imageSmoothingEnabled = false;
    g.drawImage(canvas, left, topEdge, side, side);
    g.strokeRect(left, topEdge, side, side);
    g.textAlign = 'center';
    g.font = '15px sans-serif';
    g.fillText(texts.methods[m].name, left + side / 2, rowTop + 58);
    g.font = '12px sans-serif';
    g.fillText(texts.methods[m].shares, left + side / 2, rowTop + 78);
    g.fillText(texts.xLabel, left + side / 2, topEdge + side + 40);
    // The ticks at their samples' pixel centres.
    const along = (at, n) => (side * (0.5 + at * (n - 1))) / n;
    for (const { at, text } of texts.xTicks) {
      const x = left + along(at, texts.cols);
      g.fillRect(x, topEdge + side, 1, 5);
      tickText(g, text, x, topEdge + side + 20);
    }
    g.textAlign = 'right';
    for (const { at, text } of texts.yTicks) {
      const y = topEdge + side - along(at, texts.rows);
      g.fillRect(left - 5, y, 5, 1);
      tickText(g, text, left - 7, y + 4);
    }
  });
  g.textAlign = 'left';
  g.font = '12px sans-serif';
  g.fillText(`senkrecht: ${texts.yLabel}; Farbe: ${texts.counted} ${texts.passesTo}`, gap, height - 90);
  let at = gap;
  for (const [label, colour] of legend) {
    g.fillStyle = colour;
    g.fillRect(at, height - 70, 18, 18);
    g.strokeStyle = '#000';
    g.strokeRect(at, height - 70, 18, 18);
    g.fillStyle = '#000';
    g.fillText(label, at + 24, height - 56);
    at += 34 + g.measureText(label).width;
  }
  return new Promise((resolve) => out.toBlob(resolve, 'image/png'));
}
