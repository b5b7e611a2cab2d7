#!/usr/bin/env python3
"""Hands a Markdown page to Doxygen with the double quotes of its inline code
written as &quot;: Doxygen takes a quote there for the start of a quoted
string and loses the end of the code span, while the records of the exchange
file often open a quote they never close ("ch 0 0 1 0 "text")."""
import re
import sys

fenced = False
with open(sys.argv[1], encoding='utf-8') as f:
    for line in f:
        if line.lstrip().startswith('```'):
            fenced = not fenced
        elif not fenced:
            line = re.sub(r'`[^`]+`', lambda m: m.group(0).replace('"', '&quot;'), line)
        sys.stdout.write(line)
