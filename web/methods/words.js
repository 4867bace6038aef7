// Words the methods' sentences share.

// The sign of a residual, in words.
export const signWord = (d) =>
  Number.isNaN(d) ? 'nan: weder negativ noch positiv' : d < 0 ? 'negativ' : d > 0 ? 'positiv' : 'genau 0';
