#!/usr/bin/env python3
"""Times `lintervale --magnet` on the corpus against `openssl dgst -sha1`, checks every
link's info hash, and prints a table: measure.py LINTERVALE CORPUS_DIR.

Exits 1 when a check fails or a target is missed. BENCH_REPEATS sets the repetitions
(default 5); each figure of the sets is the best of them. The two torrents of 100,000 files
are run BENCH_RUNS times (default 21) instead, for their median, their 90th percentile and
their peak memory.
"""
import os
import re
import subprocess
import sys
import time

REPEATS = int(os.environ.get("BENCH_REPEATS", "5"))
RUNS = int(os.environ.get("BENCH_RUNS", "21"))
RATIO_TARGETS = {"small": 1.5, "multi": 1.5, "pieces": 1.5}
MANY_FILES = ["manyfiles", "longnames"]  # 100,000 files each, 7.4 and 15 MB
MEMORY_TARGET = 3.0           # peak resident memory / file size
MEDIAN_TARGET = 2.5           # median wall time / openssl's median
STEADY_TARGET = 1.5           # 90th percentile / median
COLLISION_SECONDS = 2.0       # time on the colliding-keys torrent
LINK = re.compile(r"^magnet:\?xt=urn:btih:([0-9a-f]{40})&dn=[^&]*&tr=")


def read_lines(path):
    with open(path) as f:
        return f.read().split()


def run(cmd, cwd):
    """Runs cmd with its output discarded; the wall time in seconds."""
    start = time.perf_counter()
    subprocess.run(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    return time.perf_counter() - start


def best_times(commands, cwd):
    """The best time of each command over REPEATS rounds, running them in turn each round
    so that a burst of noise hits them alike."""
    best = [float("inf")] * len(commands)
    for _ in range(REPEATS):
        for i, cmd in enumerate(commands):
            best[i] = min(best[i], run(cmd, cwd))
    return best


def check_links(lintervale, folder):
    """Runs lintervale once over the set; a list of problems (empty when every link is
    there, in order, with the expected hash)."""
    files = read_lines(os.path.join(folder, "files.txt"))
    expected = read_lines(os.path.join(folder, "expected.txt"))
    done = subprocess.run([lintervale, "--magnet", *files], cwd=folder,
                          capture_output=True, text=True)
    problems = []
    if done.returncode != 0 or done.stderr:
        problems.append(f"exit status {done.returncode}, stderr: {done.stderr.strip()[:200]}")
    lines = done.stdout.splitlines()
    if len(lines) != len(expected):
        problems.append(f"{len(lines)} links for {len(expected)} files")
    for name, line, want in zip(files, lines, expected):
        match = LINK.match(line)
        if not match or match.group(1) != want:
            problems.append(f"{name}: got {line[:60]!r}, want hash {want}")
    return problems


def timed_run(cmd, cwd):
    """Runs cmd with its output discarded; its wall time in seconds and its peak resident
    memory in bytes (from the kernel's account of the child, no extra process)."""
    start = time.perf_counter()
    child = subprocess.Popen(cmd, cwd=cwd, stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
    _, status, usage = os.wait4(child.pid, 0)
    seconds = time.perf_counter() - start
    child.returncode = os.waitstatus_to_exitcode(status)
    return seconds, usage.ru_maxrss * 1024


def steady_figures(lintervale, folder):
    """RUNS runs of lintervale and of openssl, in turn. The three figures: peak memory over
    the file's size (the highest of the runs), lintervale's median over openssl's, and
    lintervale's 90th percentile (the 19th of 21, slowest last) over its median."""
    name = read_lines(os.path.join(folder, "files.txt"))[0]
    size = os.path.getsize(os.path.join(folder, name))
    ours, theirs, peak = [], [], 0
    for _ in range(RUNS):
        seconds, rss = timed_run([lintervale, "--magnet", name], folder)
        ours.append(seconds)
        peak = max(peak, rss)
        theirs.append(timed_run(["openssl", "dgst", "-sha1", name], folder)[0])
    ours.sort()
    theirs.sort()
    median = ours[len(ours) // 2]
    p90 = ours[min(len(ours) - 1, (9 * len(ours) + 9) // 10 - 1)]
    return size, peak / size, median / theirs[len(theirs) // 2], p90 / median


def main():
    lintervale, corpus = os.path.abspath(sys.argv[1]), sys.argv[2]
    failed = False
    row = "{:<10} {:>12} {:>12} {:>7} {:>8}  {}"
    print(f"best of {REPEATS} runs, wall-clock seconds")
    print(row.format("set", "lintervale", "openssl", "ratio", "target", "result"))
    for name, target in RATIO_TARGETS.items():
        folder = os.path.join(corpus, name)
        files = read_lines(os.path.join(folder, "files.txt"))
        problems = check_links(lintervale, folder)
        ours, theirs = best_times([[lintervale, "--magnet", *files],
                                   ["openssl", "dgst", "-sha1", *files]], folder)
        ok = not problems and ours <= target * theirs
        failed |= not ok
        verdict = "PASS" if ok else ("FAIL (wrong links)" if problems else "FAIL")
        print(row.format(name, f"{ours:.4f}", f"{theirs:.4f}", f"{ours / theirs:.2f}x",
                         f"{target:.1f}x", verdict))
        for problem in problems[:5]:
            print(f"    {problem}")

    print(f"\n100,000 files, {RUNS} runs each: peak memory / file size (target "
          f"{MEMORY_TARGET:.1f}x), median / openssl's median ({MEDIAN_TARGET:.1f}x), "
          f"90th percentile / median ({STEADY_TARGET:.1f}x)")
    for name in MANY_FILES:
        folder = os.path.join(corpus, name)
        problems = check_links(lintervale, folder)
        size, memory, median, steady = steady_figures(lintervale, folder)
        ok = (not problems and memory <= MEMORY_TARGET and median <= MEDIAN_TARGET
              and steady <= STEADY_TARGET)
        failed |= not ok
        verdict = "PASS" if ok else ("FAIL (wrong links)" if problems else "FAIL")
        print(f"{name:<10} {size / 2**20:5.1f} MiB  memory {memory:.2f}x  median {median:.2f}x  "
              f"p90 {steady:.2f}x  {verdict}")
        for problem in problems[:5]:
            print(f"    {problem}")

    folder = os.path.join(corpus, "collision")
    files = read_lines(os.path.join(folder, "files.txt"))
    problems = check_links(lintervale, folder)
    seconds = best_times([[lintervale, "--magnet", *files]], folder)[0]
    ok = not problems and seconds < COLLISION_SECONDS
    failed |= not ok
    print(f"collision torrent: {seconds:.3f} s (target < {COLLISION_SECONDS:.0f} s), "
          f"hash {'right' if not problems else 'WRONG'}  {'PASS' if ok else 'FAIL'}")
    for problem in problems[:5]:
        print(f"    {problem}")
    return 1 if failed else 0


if __name__ == "__main__":
    sys.exit(main())
