#!/usr/bin/env python3
"""Writes the page's data.js: what the page carries from the project.

    python3 web/page_data.py OUT.js        (run from the repository's root)

- the launchers' texts, as the CAD program shows them for each run mode: the
  description on line 1, the questions of the REM # directives, and how many
  typed values the batch file passes on (%1, %2);
- the sample drawings: every end-to-end case's exchange file with its
  arguments and settings, and the sample drawing of examples/;
- a drawing of 2000 entities of every kind from bench/gen_drawing.py, which
  the page reads at its start so that the browser has its code compiled well
  before the first file comes.
"""

import base64
import json
import re
import subprocess
import sys
from pathlib import Path


def launchers():
    out = []
    for bat in Path("launchers").glob("*.bat"):
        mode = int(re.match(r"kx29_(\d+)_", bat.name).group(1))
        lines = bat.read_bytes().decode("cp932").split("\r\n")
        questions = []
        for line in lines:
            m = re.match(r"REM #(\d+#?|hc|c)(.+)", line)
            if m and line != "REM #cd":  # #cd: the batch file's folder, no question
                questions.append({"directive": m.group(1), "text": m.group(2)})
        call = next(line for line in lines if "kx29.exe" in line)
        out.append({"mode": mode, "file": bat.name, "title": lines[0].removeprefix("REM kx29 "),
                    "questions": questions, "values": len(re.findall(r"%\d", call))})
    return sorted(out, key=lambda l: l["mode"])


def b64(path):
    return base64.b64encode(path.read_bytes()).decode("ascii") if path.exists() else None


def samples():
    out = [{"name": "examples/JWC_TEMP.TXT", "input": b64(Path("examples/JWC_TEMP.TXT")),
            "args": ["2"], "settings": None}]
    for case in sorted(Path("tests/golden").iterdir()):
        if not (case / "JWC_TEMP.TXT").exists():
            continue
        args = (case / "args.txt").read_text("utf-8").splitlines() if (case / "args.txt").exists() else []
        out.append({"name": case.name, "input": b64(case / "JWC_TEMP.TXT"), "args": args,
                    "settings": b64(case / "kx29.dat")})
    return out


def warm_up():
    made = subprocess.run([sys.executable, "bench/gen_drawing.py", "-", "-n", "2000"], check=True,
                          capture_output=True).stdout
    return base64.b64encode(made).decode("ascii")


data = {"launchers": launchers(), "samples": samples(), "warmUp": warm_up()}
Path(sys.argv[1]).write_text("// Made by web/page_data.py from launchers/, tests/golden/ and examples/.\n"
                             "var KX29_DATA = " + json.dumps(data, ensure_ascii=False) + ";\n",
                             "utf-8")
