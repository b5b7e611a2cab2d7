// The program and the library's reader for the page, over the module
// kx29-web.js (web/Api.cpp). Each call lays the files out as the CAD program
// leaves them beside the program, in the module's memory file system, calls
// the program's own code on them and takes the files back: the bytes are the
// program's.
//
// A plain script for the page (it defines openKx29) and a CommonJS module
// for node (require('./kx29.js').openKx29).
(function (root) {
  'use strict';

  // Doubles in a record of each kind, its kind and colour included (Api.cpp).
  const RECORD_SIZE = [0, 6, 5, 9, 4, 7, 10, 11, 10, 6, 5, 10];

  async function openKx29(createKx29) {
    // What the program prints (its messages) is kept for the run's result
    // rather than lost in the console.
    let printed = [];
    const m = await createKx29({ print: (t) => printed.push(t), printErr: (t) => printed.push(t) });
    const FS = m.FS;
    for (const dir of ['/kx29', '/dialog', '/view']) FS.mkdir(dir);
    const api = {
      run: m.cwrap('kx29_run', 'number', ['string', 'string']),
      dialog: m.cwrap('kx29_dialog', 'number',
        ['string', 'number', 'number', 'number', 'number', 'number', 'number', 'string']),
      read: m.cwrap('kx29_read', 'number', ['string', 'number']),
      records: m.cwrap('kx29_records', 'number', []),
      texts: m.cwrap('kx29_texts', 'number', []),
      textsLength: m.cwrap('kx29_texts_length', 'number', []),
      info: m.cwrap('kx29_info', 'number', []),
      layers: m.cwrap('kx29_layers', 'number', []),
      layersLength: m.cwrap('kx29_layers_length', 'number', []),
      readMs: m.cwrap('kx29_read_ms', 'number', []),
      release: m.cwrap('kx29_release', null, []),
      decode: m.cwrap('kx29_decode', 'number', ['string']),
    };

    // Puts bytes at path, or removes what is there for null. Lent, the
    // bytes are not copied: for a file the module only reads.
    function place(path, bytes, lent = false) {
      try { FS.unlink(path); } catch (e) { /* nothing there */ }
      if (bytes) FS.writeFile(path, bytes, { canOwn: lent });
    }
    function take(path) {
      try { return FS.readFile(path); } catch (e) { return null; }
    }
    // Leaves the folder empty, temporary files of a failed save too.
    function clear(dir) {
      for (const name of FS.readdir(dir)) {
        if (name !== '.' && name !== '..') FS.unlink(dir + '/' + name);
      }
    }

    return {
      // The program started with args (the run mode, then the typed values,
      // as strings) on an exchange file and a settings file (bytes, or null
      // for none). Gives the exit code and both files as the program left
      // them (null: none there), and what it printed (messages).
      run({ args, input = null, settings = null }) {
        clear('/kx29');
        printed = [];
        place('/kx29/JWC_TEMP.TXT', input);
        place('/kx29/kx29.dat', settings);
        const exitCode = api.run('/kx29/kx29', args.join('\n'));
        const out = { exitCode, output: take('/kx29/JWC_TEMP.TXT'), settings: take('/kx29/kx29.dat'),
          messages: printed.join('\n') };
        clear('/kx29');
        return out;
      },

      // The settings dialog opened on a settings file (bytes or null): its
      // controls as they open, and with choice ({lgrp, lay, col, marker,
      // kind, scale}) made and OK pressed, the settings file it saves.
      dialog(settings = null, choice = null) {
        clear('/dialog');
        place('/dialog/kx29.dat', settings);
        const c = choice || {};
        const json = api.dialog('/dialog/kx29', choice ? 1 : 0, c.lgrp | 0, c.lay | 0, c.col | 0,
          c.marker ? 1 : 0, c.kind | 0, String(c.scale ?? ''));
        const out = { controls: JSON.parse(m.UTF8ToString(json)), settings: take('/dialog/kx29.dat') };
        clear('/dialog');
        return out;
      },

      // An exchange file read by the library: the records (Float64Array, see
      // Api.cpp), the texts they point into (Uint16Array) and the info
      // (encoding, counts, extent, axis angle, layer names, notes unless
      // notes is false, the library's reading time), each figure's layer
      // (Uint8Array, group * 16 + layer); null when unreadable. The records lie
      // in the module's memory, not copied: they last until the next call.
      read(bytes, { notes = true } = {}) {
        place('/view/JWC_TEMP.TXT', bytes, true);
        const n = api.read('/view/JWC_TEMP.TXT', notes ? 1 : 0);
        place('/view/JWC_TEMP.TXT', null);
        if (n < 0) return null;
        const at = api.records() / 8;
        const records = m.HEAPF64.subarray(at, at + n);
        const t = api.texts() / 2;
        const texts = m.HEAPU16.slice(t, t + api.textsLength());
        const l = api.layers();
        const layers = m.HEAPU8.slice(l, l + api.layersLength());
        const info = JSON.parse(m.UTF8ToString(api.info()));
        info.readMs = api.readMs();  // the library's reading alone
        return { records, texts, layers, info };
      },

      // How big the module's memory has grown, in bytes.
      memory() { return m.HEAPU8.length; },

      // Hands the memory of the last read's records back to the module.
      release() { api.release(); },

      // A file's text as the reader decodes it, for showing.
      decode(bytes) {
        place('/view/text', bytes, true);
        const s = m.UTF8ToString(api.decode('/view/text'));
        place('/view/text', null);
        return s;
      },
    };
  }

  const exported = { openKx29, RECORD_SIZE };
  if (typeof module === 'object' && module.exports) module.exports = exported;
  else Object.assign(root, exported);
})(typeof globalThis !== 'undefined' ? globalThis : this);
