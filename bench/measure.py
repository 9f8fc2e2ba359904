#!/usr/bin/env python3
"""Times `lintervale --magnet` on the corpus against `openssl dgst -sha1`, checks every
link's info hash, and prints a table: measure.py LINTERVALE CORPUS_DIR.

Exits 1 when a check fails or a target is missed. BENCH_REPEATS sets the repetitions
(default 5); each figure is the best of them.
"""
import os
import re
import subprocess
import sys
import tempfile
import time

REPEATS = int(os.environ.get("BENCH_REPEATS", "5"))
RATIO_TARGETS = {"small": 1.5, "multi": 1.5, "pieces": 1.5, "manyfiles": 3.0}
MAX_RSS_KB = 256 * 1024       # peak memory on the manyfiles torrent
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


def peak_rss_kb(cmd, cwd):
    with tempfile.NamedTemporaryFile(mode="r") as out:
        subprocess.run(["/usr/bin/time", "-f", "%M", "-o", out.name, *cmd], cwd=cwd,
                       stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)
        return int(out.read().split()[-1])


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

    folder = os.path.join(corpus, "manyfiles")
    rss = peak_rss_kb([lintervale, "--magnet", *read_lines(os.path.join(folder, "files.txt"))],
                      folder)
    ok = rss < MAX_RSS_KB
    failed |= not ok
    print(f"peak memory, manyfiles: {rss / 1024:.1f} MB (target < {MAX_RSS_KB // 1024} MB)"
          f"  {'PASS' if ok else 'FAIL'}")

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
