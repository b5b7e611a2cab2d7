#!/usr/bin/env python3
"""The guide page of the release, opened from the disk in headless Chromium as a
user opens it: every picture loads, every link of the table of contents and of
the text finds its heading, and a screenshot of the first screen is taken.

    tests/guide_page.py PAGE SCREENSHOT

Chromium (Debian: chromium) must be installed. Exits 1 when anything is wrong.
"""
import os
import shutil
import subprocess
import sys
import tempfile
from pathlib import Path

# Runs after the page has loaded and writes what it found into the page, which
# Chromium then prints.
CHECK = """
<script>
window.addEventListener('load', () => {
  const problems = [];
  const images = [...document.images];
  if (images.length === 0) problems.push('no picture');
  for (const img of images) {
    if (!img.complete || img.naturalWidth === 0) problems.push('picture not loaded: ' + img.alt);
  }
  const links = [...document.querySelectorAll('a[href^="#"]')];
  if (links.length === 0) problems.push('no link within the page');
  for (const a of links) {
    const id = decodeURIComponent(a.getAttribute('href').slice(1));
    if (!document.getElementById(id)) problems.push('link finds no heading: ' + id);
  }
  const out = document.createElement('pre');
  out.id = 'kx29-check';
  out.textContent = 'pictures ' + images.length + ', links ' + links.length + '\\n' +
                    (problems.length ? problems.join('\\n') : 'OK');
  document.body.appendChild(out);
});
</script>
"""


def chromium(*args):
    exe = shutil.which('chromium') or shutil.which('chromium-browser')
    if not exe:
        sys.exit('guide page: chromium is missing (Debian: chromium)')
    return subprocess.run([exe, '--headless', '--no-sandbox', '--disable-gpu', '--no-first-run',
                           '--disable-background-networking', '--disable-component-update',
                           *args], capture_output=True, timeout=120)


def main():
    page, screenshot = Path(sys.argv[1]).resolve(), Path(sys.argv[2]).resolve()
    with tempfile.TemporaryDirectory() as d:
        checked = Path(d) / page.name
        checked.write_bytes(page.read_bytes().replace(b'</body>', CHECK.encode() + b'</body>'))
        r = chromium('--virtual-time-budget=10000', '--dump-dom', checked.as_uri())
    dom = r.stdout.decode('utf-8', 'replace')
    start = dom.find('<pre id="kx29-check">')
    if start < 0:
        print(f'FAIL the page did not run its check (exit {r.returncode})')
        print(r.stderr.decode('utf-8', 'replace')[-2000:])
        return 1
    report = dom[start + len('<pre id="kx29-check">'):dom.find('</pre>', start)]
    lines = report.strip().splitlines()
    print('  ' + lines[0])
    ok = lines[1:] == ['OK']
    for line in lines[1:] if not ok else []:
        print('FAIL ' + line)

    screenshot.parent.mkdir(parents=True, exist_ok=True)
    if screenshot.exists():
        os.remove(screenshot)
    chromium('--window-size=1000,760', '--hide-scrollbars', '--virtual-time-budget=5000',
             f'--screenshot={screenshot}', page.as_uri())
    if not screenshot.exists() or screenshot.stat().st_size < 10000:
        print('FAIL no screenshot of the first screen')
        ok = False
    else:
        print(f'  screenshot {screenshot} ({screenshot.stat().st_size} bytes)')
    print('guide page: ' + ('ok' if ok else 'problems'))
    return 0 if ok else 1


if __name__ == '__main__':
    sys.exit(main())
