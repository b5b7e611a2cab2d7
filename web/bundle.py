#!/usr/bin/env python3
"""The page's script: its modules (web/page/) as one script that also runs
from a page opened from the disk, where a browser loads no modules. Each
module's imports are dropped and its exports made plain names, all inside
one function, so that nothing lands on window. The worker's source (the
module kx29-web.js with its wasm inside, kx29.js, page/exchange.js and
worker_main.js) and data.js go in as texts.

    python3 web/bundle.py PAGE_DIR      (writes PAGE_DIR/page.js)
"""
import json
import pathlib
import re
import sys

here = pathlib.Path(__file__).parent
page = pathlib.Path(sys.argv[1])
# In the order they need each other.
MODULES = ['state.js', 'words.js', 'exchange.js', 'draw.js', 'pick.js', 'svg.js', 'worker.js', 'main.js']


def plain(path):
    text = path.read_text(encoding='utf-8')
    text = re.sub(r"^import \{[^}]*\} from '[^']+';\n", '', text, flags=re.M)
    return re.sub(r'^export ', '', text, flags=re.M)


worker = '\n'.join([(page / 'kx29-web.js').read_text(encoding='utf-8'),
                    (page / 'kx29.js').read_text(encoding='utf-8'),
                    plain(here / 'page/exchange.js'), plain(here / 'worker_main.js')])
data = (page / 'data.js').read_text(encoding='utf-8').replace('var KX29_DATA =', 'const KX29_DATA =', 1)
parts = ['// Made by web/bundle.py from web/page/*.js.', '(() => {', "'use strict';", data,
         'const WORKER_SOURCE = ' + json.dumps(worker) + ';']
parts += [plain(here / 'page' / m) for m in MODULES]
parts.append('})();\n')
out = '\n'.join(parts)
if re.search(r'^\s*(import|export) ', out, flags=re.M):
    sys.exit('bundle.py: an import or export was left in the page\'s script')
tmp = page / 'page.js.tmp'
tmp.write_text(out, encoding='utf-8')
tmp.replace(page / 'page.js')
