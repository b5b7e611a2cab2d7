// Stands in for what web/bundle.py puts in the page's script when it is
// built: the worker's source (the module with its wasm inside, kx29.js and
// the worker's own code) and data.js.
export const WORKER_SOURCE = '';
export const KX29_DATA = { launchers: [], samples: [], warmUp: '' };
