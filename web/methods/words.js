// Words the methods' sentences share.

// A residual against 0, for labels: "< 0", "> 0", "= 0" or "= nan".
export const relation = (d) => (Number.isNaN(d) ? '= nan' : d < 0 ? '< 0' : d > 0 ? '> 0' : '= 0');

// The sign of a residual, in words.
export const signWord = (d) =>
  Number.isNaN(d) ? 'nan: weder negativ noch positiv' : d < 0 ? 'negativ' : d > 0 ? 'positiv' : 'genau 0';
