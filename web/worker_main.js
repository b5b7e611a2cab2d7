// The worker's side (after kx29-web.js, kx29.js and page/exchange.js in
// one source): each message names an operation on the module; the answer
// carries its result, or the failure as text. The records are handed over,
// not copied.
import { figures, runInput } from './page/exchange.js';

const started = openKx29(createKx29);
let fig = null;  // the last file's lines and figures, with its bytes
let file = null;  // the bytes of the file read last, kept for its runs

// The page's bytes, or its File read here.
const bytesOf = (b) => (b instanceof Blob ? new Uint8Array(new FileReaderSync().readAsArrayBuffer(b)) : b);

function read(bytes, notes) {
  const d = kx29.read(bytes, { notes });
  if (!d) return null;
  const records = d.records.slice();
  kx29.release();
  return { records, texts: d.texts, layers: d.layers, info: d.info };
}

let kx29 = null;
const ops = {
  read({ bytes, notes = true, keep = false }) {
    bytes = bytesOf(bytes);
    if (keep) file = bytes;
    const d = read(bytes, notes);
    return [d, d ? [d.records.buffer, d.texts.buffer, d.layers.buffer] : []];
  },
  // The file's figures matched with its lines: for each its main line's
  // number and bytes. A copy is handed over, not cloned: taking in a clone
  // of a 1e6 drawing's 12 MB held the page 200 ms.
  figures({ bytes = file }) {
    bytes = bytesOf(bytes);
    fig = { bytes, ...figures(bytes) };
    const main = fig.main.slice();
    return [{ count: fig.count, main }, [main.buffer]];
  },
  // A run on the file with the points and selection given (null: the file
  // as it is), and the rewritten file read and decoded for showing.
  // kept: the run is on the file read last, which the page did not send again.
  run({ args, input, kept = false, settings, points = null, selected = null }) {
    input = kept ? file : bytesOf(input);
    let given = input;
    if (input && (points || selected)) {
      if (!fig || fig.bytes !== input) fig = { bytes: input, ...figures(input) };
      given = runInput(input, fig, points ?? [], selected);
    }
    const t0 = performance.now();
    const r = kx29.run({ args, input: given, settings });
    const ms = performance.now() - t0;
    const data = r.output ? read(r.output, false) : null;
    const text = r.output ? kx29.decode(r.output) : null;
    // The rewritten file's bytes are a copy of their own: handed over too.
    return [{ exitCode: r.exitCode, output: r.output, settings: r.settings, messages: r.messages, data, text, ms },
      [...(data ? [data.records.buffer, data.texts.buffer] : []), ...(r.output ? [r.output.buffer] : [])]];
  },
  dialog({ settings, choice }) { return [kx29.dialog(settings, choice), []]; },
};

onmessage = async (e) => {
  const { id, op, args } = e.data;
  try {
    kx29 = await started;
    const [value, transfer] = ops[op](args);
    postMessage({ id, ok: true, value }, transfer);
  } catch (err) {
    // A C++ exception the program did not catch (memory running out, most
    // likely) leaves the module unusable: the page starts a fresh one.
    const uncaught = typeof WebAssembly.Exception === 'function' && err instanceof WebAssembly.Exception;
    postMessage({ id, ok: false, error: String(err && err.message ? err.message : err),
      uncaught, memoryMB: kx29 ? Math.round(kx29.memory() / 1048576) : 0 });
  }
};
