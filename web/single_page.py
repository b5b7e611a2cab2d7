#!/usr/bin/env python3
"""The page as one file that opens from the disk and needs nothing beside it:
each <script src="..."> of index.html replaced by the script itself.

    python3 web/single_page.py PAGE_DIR OUT.html
"""
import pathlib
import re
import sys

page, out = pathlib.Path(sys.argv[1]), pathlib.Path(sys.argv[2])
html = (page / 'index.html').read_text(encoding='utf-8')


def inline(m):
    script = (page / m.group(1)).read_text(encoding='utf-8')
    # Inside an inline script only "</script" ends it; written "<\/script",
    # a string or a comment that holds it says the same to the script.
    return '<script>' + script.replace('</script', '<\\/script') + '</script>'


html, count = re.subn(r'<script src="([^"/]+)"></script>', inline, html)
if count == 0 or re.search(r'<script src=', html) or re.search(r'<link[^>]+href="(?!#)', html):
    sys.exit(f'single_page.py: {page / "index.html"} refers to files it does not take in')
tmp = out.with_suffix('.tmp')
tmp.write_text(html, encoding='utf-8')
tmp.replace(out)
