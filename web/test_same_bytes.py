#!/usr/bin/env python3
"""The web build writes what the native program writes.

    python3 web/test_same_bytes.py [NATIVE_BUILD] [WEB_BUILD]   (build, build-web)

Every end-to-end case of tests/golden, and every run mode on generated
drawings in the three encodings the CAD program writes (code page 932,
UTF-8 with its mark, UTF-16), with and without marker settings, and the text
dialog with answers, run three ways: the native program (NATIVE_BUILD/kx29,
copied into the case's folder as the CAD program finds it), the program
built for the web under node (WEB_BUILD/kx29-node.mjs in that folder), and
the page's own path (WEB_BUILD/page/kx29.js over kx29-web.js). Each must end
with the same exit code and leave the same JWC_TEMP.TXT and kx29.dat, byte
for byte, and nothing else; the two programs print the same dialog too.

The page's reader is compared the same way: read_dump (ReadDump.cpp, built
here with the native build's libraries and under WEB_BUILD for node) prints
what the page draws of a file, every number to the last digit, its texts and
the reader's notes; on every input above, the files the end-to-end cases
expect written back, and the reader's fuzz seeds. And numbers_dump
(NumbersDump.cpp, built both ways alike) prints the number texts the file is
written and read with, the shortest and 15-digit texts, and the correctly
rounded sine, cosine and arc tangent of doubles of every exponent and of
drawing coordinates, every result as its bits: the web build's own
conversions must give the native ones.

A missing build, node or g++ skips the test, except under CI=true, where it fails.
"""

import json
import os
import shutil
import subprocess
import sys
import tempfile
import time
from concurrent.futures import ThreadPoolExecutor
from pathlib import Path

ROOT = Path(__file__).resolve().parent.parent
NATIVE = Path(sys.argv[1] if len(sys.argv) > 1 else ROOT / "build").resolve()
WEB = Path(sys.argv[2] if len(sys.argv) > 2 else ROOT / "build-web").resolve()
FILES = ("JWC_TEMP.TXT", "kx29.dat")

# Every run mode with the typed values it takes, as the launchers pass them.
RUN_MODES = [["1"], ["2"], ["3", "2000", "1000"], ["4"], ["5", "4"], ["6", "6"],
             ["7", "910"], ["7", "455", "両"], ["8"], ["8", "端"], ["9"], ["9", "1"], ["10", "3"],
             ["11"], ["12", "100", "-50"], ["12", "300両"], ["13", "910"], ["13", "5等分", "連"]]
# Settings of the dialog's eight lines: points on the current layer; markers
# ○ at 2.5 on layer group 2, layer C, SXF colour 3.
SETTINGS = [None, "\ufeff50\r\n50\r\n3\r\n13\r\n12\r\n1\r\n1\r\n2.5\r\n".encode("utf-8")]
# Answers to the text dialog: layer group, layer, colour, point or marker,
# kind, scale, OK; then the same cancelled at the end.
DIALOGS = ["3\n13\n12\n2\n4\n２．５\nY\n", "5\n\n\n2\n"]


def skip_or_fail(why):
    if os.environ.get("CI") == "true":
        sys.exit(f"web_same_bytes: FAIL: {why}")
    print(f"web_same_bytes: skipped: {why}")
    sys.exit(0)


def generate(folder, encoding):
    out = folder / f"drawing-{encoding}.txt"
    subprocess.run([sys.executable, str(ROOT / "bench/gen_drawing.py"), str(out), "-n", "3000",
                    "--encoding", encoding], check=True)
    return out


def cases(work):
    """(name, args, input file or None, settings bytes or None, standard input)."""
    for case in sorted((ROOT / "tests/golden").iterdir()):
        args_file = case / "args.txt"
        args = args_file.read_text("utf-8").split("\n") if args_file.exists() else []
        if args and args[-1] == "":
            args.pop()
        args = [a[:-1] if a.endswith("\r") else a for a in args]
        dat = case / "kx29.dat"
        inp = case / "JWC_TEMP.TXT"
        yield (case.name, args, inp if inp.exists() else None,
               dat.read_bytes() if dat.exists() else None, "")
    for encoding in ("cp932", "utf8-bom", "utf16le-bom"):
        drawing = generate(work, encoding)
        for k, settings in enumerate(SETTINGS):
            for args in RUN_MODES:
                yield (f"{encoding}-settings{k}-mode{'-'.join(args)}", args, drawing, settings, "")
    for k, answers in enumerate(DIALOGS):
        yield (f"dialog{k}", [], None, SETTINGS[1], answers)


def native_read_dump(work):
    out = work / "read_dump"
    libs = [NATIVE / f"lib{name}.a" for name in ("jwwgaibu", "jwwgaibu_platform", "jwwgaibu_myfunc")]
    cxx = shutil.which(os.environ.get("CXX", "g++"))
    for need in libs:
        if not need.exists():
            skip_or_fail(f"{need} is not built")
    if cxx is None:
        skip_or_fail("g++ is not installed")
    here = Path(__file__).parent
    subprocess.run([cxx, "-std=c++20", "-O1", "-ffp-contract=off", f"-I{ROOT}", "-o", str(out),
                    str(here / "ReadDump.cpp"), str(here / "Drawing.cpp")] + [str(p) for p in libs]
                   + ["-pthread"], check=True)
    return out


def compare_numbers(work, node, count=100000):
    """The number routines of both builds on the same doubles and texts: the
    first line that differs, if any."""
    dump = work / "numbers_dump"
    libs = [NATIVE / f"lib{name}.a" for name in ("jwwgaibu_platform", "jwwgaibu_myfunc")]
    subprocess.run([shutil.which(os.environ.get("CXX", "g++")), "-std=c++20", "-O1", "-ffp-contract=off",
                    f"-I{ROOT}", "-o", str(dump), str(Path(__file__).with_name("NumbersDump.cpp"))]
                   + [str(p) for p in libs], check=True)
    native = subprocess.run([str(dump), str(count)], capture_output=True, check=True).stdout.split(b"\n")
    # Read only after a pause, with the pipe full: a runtime whose writes give
    # up on a full pipe then loses lines every time, not now and then.
    proc = subprocess.Popen([node, str(WEB / "numbers-dump.js"), str(count)], stdout=subprocess.PIPE)
    time.sleep(1)
    web = proc.stdout.read().split(b"\n")
    if proc.wait() != 0:
        return [f"numbers: the web build ended with exit code {proc.returncode}"], 0
    at = next((k for k in range(min(len(native), len(web))) if native[k] != web[k]), None)
    if at is None and len(native) == len(web):
        return [], len(native) - 1
    at = min(len(native), len(web)) - 1 if at is None else at
    return [f"numbers: line {at + 1}: {web[at][:120]!r}, natively {native[at][:120]!r}"], len(native) - 1


def compare_reads(work, files, node):
    """Differences between the native reader's view and the web one's."""
    dump = native_read_dump(work)
    failed = []

    def both(f):
        return (f, subprocess.run([str(dump), str(f)], capture_output=True),
                subprocess.run([node, str(WEB / "read-dump.js"), str(f)], capture_output=True))

    with ThreadPoolExecutor(os.cpu_count()) as pool:
        runs = list(pool.map(both, files))
    for f, native, web in runs:
        if (native.returncode, native.stdout) != (web.returncode, web.stdout):
            a, b = native.stdout.split(b"\n"), web.stdout.split(b"\n")
            at = next((k for k in range(min(len(a), len(b))) if a[k] != b[k]), min(len(a), len(b)))
            failed.append(f"read {f.relative_to(work) if work in f.parents else f}: exit"
                          f" {web.returncode} (natively {native.returncode}), output line {at + 1}:"
                          f" {b[at][:100] if at < len(b) else b''!r}, natively"
                          f" {a[at][:100] if at < len(a) else b''!r}")
    return failed


def lay_out(folder, inp, settings):
    folder.mkdir(parents=True)
    if inp is not None:
        shutil.copyfile(inp, folder / "JWC_TEMP.TXT")
    if settings is not None:
        (folder / "kx29.dat").write_bytes(settings)


def left(folder, exit_code, stdout=None):
    """What a run left: its exit code, the two files and anything else there."""
    files = {n: (folder / n).read_bytes() if (folder / n).exists() else None for n in FILES}
    others = sorted(p.name for p in folder.iterdir() if p.name not in FILES + ("kx29",))
    return {"exit": exit_code, "files": files, "others": others, "stdout": stdout}


def main():
    kx29 = NATIVE / "kx29"
    runner = WEB / "kx29-node.mjs"
    page_api = WEB / "page/kx29.js"
    node = shutil.which("node")
    for need in (kx29, runner, page_api, WEB / "read-dump.js", WEB / "numbers-dump.js"):
        if not need.exists():
            skip_or_fail(f"{need} is not built")
    if node is None:
        skip_or_fail("node is not installed")

    work = Path(tempfile.mkdtemp(prefix="kx29web."))
    try:
        all_cases = list(cases(work))
        manifest = []
        # Every folder, with its copy of the program, is laid out before any
        # run starts: a copy still open for writing in one thread is inherited
        # by a child forked in another, and the kernel then refuses to start
        # that copy ("Text file busy").
        for name, args, inp, settings, answers in all_cases:
            native = work / name / "native"
            for folder in (native, work / name / "node"):
                lay_out(folder, inp, settings)
            shutil.copyfile(kx29, native / "kx29")
            (native / "kx29").chmod(0o755)

        def both(case):
            name, args, inp, settings, answers = case
            native, web = work / name / "native", work / name / "node"
            r = subprocess.run([str(native / "kx29")] + args, cwd=native, input=answers.encode(),
                               capture_output=True)
            n = subprocess.run([node, str(runner)] + args, cwd=web, input=answers.encode(),
                               capture_output=True)
            return name, [left(native, r.returncode, r.stdout), left(web, n.returncode, n.stdout)]

        with ThreadPoolExecutor(os.cpu_count()) as pool:
            results = dict(pool.map(both, all_cases))
        for name, args, inp, settings, answers in all_cases:
            if not answers:  # the page has no text dialog to answer
                lay_out(work / name / "api", inp, settings)
                manifest.append({"name": name, "dir": str(work / name / "api"), "args": args})
        (work / "manifest.json").write_text(json.dumps(manifest), "utf-8")
        subprocess.run([node, str(Path(__file__).with_name("run_api.js")), str(WEB / "page"),
                        str(work / "manifest.json")], check=True)
        for case in manifest:
            code = int((Path(case["dir"]) / "exit-code").read_text())
            (Path(case["dir"]) / "exit-code").unlink()
            results[case["name"]].append(left(Path(case["dir"]), code))

        read = sorted({inp for _, _, inp, _, _ in all_cases if inp is not None})
        read += sorted((ROOT / "tests/golden").glob("*/expected.TXT"))
        read += sorted((ROOT / "fuzz/corpus/reader").iterdir()) + [ROOT / "examples/JWC_TEMP.TXT"]
        failed = compare_reads(work, read, node)
        numbers_failed, numbers = compare_numbers(work, node)
        failed += numbers_failed
        for name, (native, *webs) in results.items():
            for how, got in zip(("node", "page"), webs):
                for what in ("exit", "others", "stdout"):
                    if got[what] is not None and native[what] != got[what]:
                        failed.append(f"{name} ({how}): {what} {got[what]!r}, natively {native[what]!r}")
                for f in FILES:
                    if got["files"][f] != native["files"][f]:
                        failed.append(f"{name} ({how}): {f} differs from the native one"
                                      f" ({describe(got['files'][f])} against {describe(native['files'][f])})")
        for line in failed:
            print("FAIL", line)
        print(f"web_same_bytes: {len(results)} runs, {len(read)} files read, {numbers} number lines,"
              f" {len(failed)} differences")
        return 1 if failed else 0
    finally:
        shutil.rmtree(work, ignore_errors=True)


def describe(data):
    return "none" if data is None else f"{len(data)} bytes"


if __name__ == "__main__":
    sys.exit(main())
