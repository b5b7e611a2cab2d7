// What the page holds: the file opened, the last run, the indicated points
// and the selected figures the next run gets, and what the page is doing.
export const page = {
  lang: 'ja', dat: null, dialog: null,
  input: null,   // {name, bytes, info, layer, figures: {lines, ok}}
  output: null,  // {args, exitCode, bytes, info, layer, text}
  // The run's points and figures: at first what the file holds (its hp
  // records, every figure in it), then as the user indicates and selects.
  points: [],        // {n, x, y}: indicated point n
  selected: null,    // Uint8Array, 1 for each figure selected
  edited: false,     // points or selection changed since the file was read
  values: {},        // the value typed for each run mode
  tool: 'pan',
  timing: null, runs: 0, state: 'loading', status: null,
};

export const $ = (id) => document.getElementById(id);
