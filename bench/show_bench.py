#!/usr/bin/env python3
"""Times `lintervale --show --json` (and the text form) against `lintervale --magnet` on the
same files, and checks that the JSON parses with one object per torrent:
show_bench.py LINTERVALE CORPUS_DIR.

| set       | target: --show --json / --magnet |
|-----------|----------------------------------|
| manyfiles | at most 2x (100,000 files)       |
| small     | at most 1.5x (1,000 small files) |

Each figure is the median of BENCH_RUNS rounds (default 21) that run the commands in turn,
so that a burst of noise hits them alike. Exits 1 when a check fails or a target is missed.
"""
import json
import os
import statistics
import subprocess
import sys
import time

RUNS = int(os.environ.get("BENCH_RUNS", "21"))
TARGETS = {"manyfiles": 2.0, "small": 1.5}


def files_of(folder):
    with open(os.path.join(folder, "files.txt")) as f:
        return f.read().split()


def timed(cmd, cwd):
    start = time.perf_counter()
    subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def main():
    lintervale, corpus = os.path.abspath(sys.argv[1]), sys.argv[2]
    status = 0
    print(f"{'set':<10} {'--magnet':>9} {'--show':>9} {'--json':>9} {'json/magnet':>12} {'target':>7}")
    for name, target in TARGETS.items():
        folder = os.path.join(corpus, name)
        files = files_of(folder)
        done = subprocess.run([lintervale, "--show", "--json", *files], cwd=folder,
                              capture_output=True)
        objects = json.loads(done.stdout) if done.returncode == 0 else []
        if len(objects) != len(files) or any(o["error"] is not None for o in objects):
            print(f"{name}: --show --json gave {len(objects)} objects for {len(files)} files, "
                  f"exit status {done.returncode}")
            status = 1
        commands = [[lintervale, "--magnet", *files], [lintervale, "--show", *files],
                    [lintervale, "--show", "--json", *files]]
        times = [[], [], []]
        for _ in range(RUNS):
            for i, cmd in enumerate(commands):
                times[i].append(timed(cmd, folder))
        magnet, text, js = (statistics.median(t) for t in times)
        ratio = js / magnet
        ok = ratio <= target
        status |= 0 if ok else 1
        print(f"{name:<10} {magnet * 1000:8.1f}ms {text * 1000:8.1f}ms {js * 1000:8.1f}ms "
              f"{ratio:11.2f}x {target:6.1f}x{'' if ok else '  MISSED'}")
    return status


if __name__ == "__main__":
    sys.exit(main())
