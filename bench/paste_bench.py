#!/usr/bin/env python3
"""Times the reading of 10,000 pasted magnet links into rows against `lintervale --magnet`
over the 10,000 files that give those links: paste_bench.py LINTERVALE PASTE_BENCH CORPUS_DIR.

The links are the headless command's own output for the list10k set. The paste figure is the
time inside the program (the text in memory to the rows made, best of BENCH_REPEATS); the
headless figure is the whole command's wall time (best of as many runs). Target: the paste
takes no longer than the files. Exits 1 when a check fails or the target is missed.
"""
import os
import subprocess
import sys
import tempfile
import time

REPEATS = int(os.environ.get("BENCH_REPEATS", "5"))


def main():
    lintervale, paste_bench, corpus = (os.path.abspath(a) for a in sys.argv[1:4])
    folder = os.path.join(corpus, "list10k")
    with open(os.path.join(folder, "files.txt")) as f:
        files = f.read().split()
    headless = float("inf")
    links = b""
    for _ in range(REPEATS):
        start = time.perf_counter()
        done = subprocess.run([lintervale, "--magnet", *files], cwd=folder,
                              capture_output=True, check=True)
        headless = min(headless, time.perf_counter() - start)
        links = done.stdout
    with tempfile.NamedTemporaryFile(suffix=".txt") as out:
        out.write(links)
        out.flush()
        done = subprocess.run([paste_bench, out.name, str(REPEATS)], capture_output=True,
                              text=True, check=True)
    rows, paste = done.stdout.split()
    rows, paste = int(rows), float(paste)
    ok = rows == len(files) and paste <= headless
    print(f"paste of {len(files)} links: {paste * 1000:.1f} ms, {rows} rows; "
          f"headless --magnet over the files: {headless * 1000:.1f} ms; "
          f"ratio {paste / headless:.3f}x (target <= 1x)  {'PASS' if ok else 'FAIL'}")
    return 0 if ok else 1


if __name__ == "__main__":
    sys.exit(main())
