// The program built for the web, run under node as the CAD program runs the
// native one: node kx29-node.mjs MODE [VALUES...] reads and rewrites
// JWC_TEMP.TXT and kx29.dat in the current folder and ends with the
// program's exit code. The wasm bytes are handed to the module, so node needs
// no flag (its fetch cannot load a file path).
import { createRequire } from 'node:module';
import { readFileSync } from 'node:fs';

const require = createRequire(import.meta.url);
const createKx29Node = require('./kx29-node-core.js');
createKx29Node({
  arguments: process.argv.slice(2),
  wasmBinary: readFileSync(new URL('kx29-node-core.wasm', import.meta.url)),
});
