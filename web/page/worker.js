// The program and the library in a worker of their own (a Blob URL, which
// starts from a page opened from the disk too): reading and runs never hold
// the page up, a run can be stopped, and a fresh worker for each file hands
// the module's memory back (its memory only ever grows).
import { WORKER_SOURCE } from './source.js';

let worker = null, url = null, next = 1, generation = 0;
const waiting = new Map();  // id -> {resolve, reject}

function fail(error) {
  for (const w of waiting.values()) w.reject(error);
  waiting.clear();
}

// A new worker, the old one ended with whatever it was doing.
export function restart() {
  if (worker) worker.terminate();
  fail(new Error('cancelled'));
  generation += 1;
  url = url || URL.createObjectURL(new Blob([WORKER_SOURCE], { type: 'text/javascript' }));
  worker = new Worker(url);
  worker.onmessage = (e) => {
    const w = waiting.get(e.data.id);
    if (!w) return;
    waiting.delete(e.data.id);
    if (e.data.ok) w.resolve(e.data.value);
    else w.reject(Object.assign(new Error(e.data.error), { uncaught: e.data.uncaught, memoryMB: e.data.memoryMB }));
  };
  // A failure the worker did not catch (the module aborted, memory ran
  // out): every call waiting fails with it, and the next starts afresh.
  worker.onerror = (e) => {
    e.preventDefault();
    worker.terminate();
    worker = null;
    fail(new Error(e.message || 'the worker stopped'));
  };
}

export function call(op, args, transfer = []) {
  if (!worker) restart();
  const id = next++;
  return new Promise((resolve, reject) => {
    waiting.set(id, { resolve, reject });
    worker.postMessage({ id, op, args }, transfer);
  });
}

// Which worker this is: one that read a file keeps its bytes, so that the
// page need not copy a big file to it again for each run.
export const workerGeneration = () => (worker ? generation : 0);
