// Runs cases through the page's own path (kx29.js over kx29-web.js) under
// node, for test_same_bytes.py:  node run_api.js PAGE_DIR MANIFEST.json
// Each case of the manifest names a folder holding the files as the CAD
// program leaves them and the arguments; the files are replaced by what the
// run left (absent when none), its exit code written to exit-code.
'use strict';
const fs = require('fs');
const path = require('path');

async function main() {
  const [page, manifest] = process.argv.slice(2);
  const createKx29 = require(path.resolve(page, 'kx29-web.js'));
  const { openKx29 } = require(path.resolve(page, 'kx29.js'));
  const kx29 = await openKx29(createKx29);
  for (const c of JSON.parse(fs.readFileSync(manifest, 'utf8'))) {
    const file = (name) => path.join(c.dir, name);
    const bytes = (name) => (fs.existsSync(file(name)) ? fs.readFileSync(file(name)) : null);
    const r = kx29.run({ args: c.args, input: bytes('JWC_TEMP.TXT'), settings: bytes('kx29.dat') });
    for (const [name, data] of [['JWC_TEMP.TXT', r.output], ['kx29.dat', r.settings]]) {
      fs.rmSync(file(name), { force: true });
      if (data) fs.writeFileSync(file(name), data);
    }
    fs.writeFileSync(file('exit-code'), String(r.exitCode));
  }
}

main().catch((e) => {
  console.error(e);
  process.exit(1);
});
