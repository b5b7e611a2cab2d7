#!/usr/bin/env python3
"""Hands a Markdown page to Doxygen with the double quotes of its inline code
written as &quot;: Doxygen takes a quote there for the start of a quoted
string and loses the end of the code span, while the records of the exchange
file often open a quote they never close ("ch 0 0 1 0 "text").

A link to a heading of the same page, [text](#a-heading), is given the
anchor GitHub makes of the heading's words, which Doxygen does not make."""
import re
import sys


def slug(title):
    title = re.sub(r'[^\w\- ]', '', title.strip().lower())
    return title.replace(' ', '-')


with open(sys.argv[1], encoding='utf-8') as f:
    lines = f.readlines()
targets = set(re.findall(r'\]\(#([\w-]+)\)', ''.join(lines)))
fenced = False
for line in lines:
    if line.lstrip().startswith('```'):
        fenced = not fenced
    elif not fenced:
        line = re.sub(r'`[^`]+`', lambda m: m.group(0).replace('"', '&quot;'), line)
        heading = re.match(r'(#{1,6} )(.*?)\s*$', line)
        if heading and slug(heading.group(2)) in targets:
            line = f'{heading.group(1)}{heading.group(2)} {{#{slug(heading.group(2))}}}\n'
    sys.stdout.write(line)
