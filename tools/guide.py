#!/usr/bin/python3
"""The user guide README.ja.md as the release ships it:

    tools/guide.py html OUT   one self-contained page, pictures embedded, that
                              any browser opens from the disk
    tools/guide.py txt OUT    plain text for Notepad: no Markdown syntax, UTF-8
                              with a byte order mark, CR LF; each picture named
                              by its file in the folder 図

Needs Debian's python3-markdown for the page (run with the system's Python).
"""
import base64
import html
import re
import sys
import unicodedata
from pathlib import Path

ROOT = Path(__file__).resolve().parents[1]
GUIDE = ROOT / 'README.ja.md'
IMAGE = re.compile(r'!\[([^\]]*)\]\(([^)]+)\)')
LINK = re.compile(r'\[([^\]]*)\]\(([^)]+)\)')


def heading_id(value, separator='-'):
    """The anchor a heading gets on the project's hosting, so that the links of
    the table of contents work in both: lower case, punctuation (full-width
    brackets too) dropped, blanks as hyphens."""
    value = re.sub(r'[^\w\- ]', '', value.strip().lower())
    return value.replace(' ', separator)


STYLE = """
body { font-family: 'Yu Gothic UI', 'Meiryo', 'IPAPGothic', sans-serif; line-height: 1.7;
       max-width: 52em; margin: 2em auto; padding: 0 1em; color: #202020; }
h1 { font-size: 1.6em; border-bottom: 2px solid #d9480f; padding-bottom: .3em; }
h2 { font-size: 1.3em; border-bottom: 1px solid #ccc; margin-top: 2em; }
h3 { font-size: 1.1em; margin-top: 1.6em; }
code { background: #f3f3f3; padding: 0 .3em; border-radius: 3px; }
table { border-collapse: collapse; margin: 1em 0; }
th, td { border: 1px solid #ccc; padding: .3em .6em; vertical-align: top; }
th { background: #f6f6f6; }
img { max-width: 100%; border: 1px solid #ddd; }
"""


def page():
    import markdown  # Debian: python3-markdown

    text = GUIDE.read_text(encoding='utf-8')

    def embed(m):
        data = base64.b64encode((ROOT / m.group(2)).read_bytes()).decode('ascii')
        return f'![{m.group(1)}](data:image/png;base64,{data})'

    # A line break inside a Japanese sentence is no word space: the browser
    # would show one where the source wraps.
    text = re.sub(r'([^\x00-\x7f])\n[ \t]*([^\x00-\x7f])', r'\1\2', text)
    body = markdown.markdown(IMAGE.sub(embed, text), extensions=['tables', 'toc'],
                             extension_configs={'toc': {'slugify': heading_id}})
    title = html.escape(text.splitlines()[0].lstrip('# ').strip())
    return (f'<!DOCTYPE html>\n<html lang="ja">\n<head>\n<meta charset="utf-8">\n'
            f'<meta name="viewport" content="width=device-width, initial-scale=1">\n'
            f'<title>{title}</title>\n<style>{STYLE}</style>\n</head>\n<body>\n{body}\n'
            f'</body>\n</html>\n').encode('utf-8')


def width(s):
    return sum(2 if unicodedata.east_asian_width(c) in 'WF' else 1 for c in s)


def inline(s):
    """A line's Markdown marks taken away: pictures by their file, links by
    their text, no backticks or asterisks."""
    s = IMAGE.sub(lambda m: f'（図：図\\{Path(m.group(2)).name}　{m.group(1)}）', s)
    s = LINK.sub(lambda m: m.group(1) if not m.group(2).startswith('http')
                 else f'{m.group(1)}（{m.group(2)}）', s)
    return s.replace('**', '').replace('`', '')


def cells(line):
    return [inline(c.strip()) for c in line.strip().strip('|').split('|')]


def text():
    out = []
    lines = GUIDE.read_text(encoding='utf-8').splitlines()
    k = 0
    while k < len(lines):
        line = lines[k]
        if line.startswith('|'):  # a table: one line a row, the first column first
            head = cells(line)
            k += 2  # the header and its rule
            while k < len(lines) and lines[k].startswith('|'):
                row = cells(lines[k])
                extra = ''.join(f'（{h}：{c}）' for h, c in zip(head[2:], row[2:]))
                out.append(f'・{row[0]}　{row[1]}{extra}')
                k += 1
            continue
        m = re.match(r'(#+) (.*)', line)
        if m:
            title = inline(m.group(2))
            if len(m.group(1)) == 1:
                out += [title, '=' * width(title)]
            elif len(m.group(1)) == 2:
                out += ['', '■ ' + title, '']
            else:
                out += ['◆ ' + title]
        else:
            m = re.match(r'(\s*)- (.*)', line)
            out.append(m.group(1) + '・' + inline(m.group(2)) if m else inline(line))
        k += 1
    body = '\r\n'.join(out).rstrip() + '\r\n'
    return b'\xef\xbb\xbf' + re.sub(r'(\r\n){3,}', '\r\n\r\n', body).encode('utf-8')


if __name__ == '__main__':
    if len(sys.argv) != 3 or sys.argv[1] not in ('html', 'txt'):
        sys.exit(__doc__)
    Path(sys.argv[2]).write_bytes(page() if sys.argv[1] == 'html' else text())
