#!/usr/bin/env python3
"""Writes the benchmark corpus: make_corpus.py OUTDIR.

Each set is a folder OUTDIR/<set>/ holding the .torrent files, files.txt (the file names,
one a line, in the order to pass them) and expected.txt (the info hash of each file, in the
same order). The output depends only on SEED.
"""
import hashlib
import os
import random
import sys

SEED = 20240611
ANNOUNCE = b"http://tracker.example.org:6969/announce"


def bencode(value):
    """Bencodes ints, bytes, str, lists and dicts (keys sorted by their raw bytes)."""
    if isinstance(value, int):
        return b"i%de" % value
    if isinstance(value, str):
        value = value.encode()
    if isinstance(value, bytes):
        return b"%d:%s" % (len(value), value)
    if isinstance(value, list):
        return b"l" + b"".join(bencode(v) for v in value) + b"e"
    if isinstance(value, dict):
        items = sorted((k.encode() if isinstance(k, str) else k, v) for k, v in value.items())
        return b"d" + b"".join(bencode(k) + bencode(v) for k, v in items) + b"e"
    raise TypeError(type(value))


def torrent(info, extra_top=None):
    """The file's bytes and the SHA-1 of the info value's bytes."""
    info_bytes = bencode(info)
    top = bencode({"announce": ANNOUNCE, **(extra_top or {})})
    # "announce" < "info" and the extra keys used here sort before "info" too, so the info
    # member goes last; the bytes are spliced in so the hash is over exactly what is stored.
    body = top[:-1] + b"4:info" + info_bytes + b"e"
    return body, hashlib.sha1(info_bytes).hexdigest()


def pieces_for(rng, total, piece_length):
    count = max(1, -(-total // piece_length))
    return rng.randbytes(20 * count)


def write_set(outdir, name, items):
    folder = os.path.join(outdir, name)
    os.makedirs(folder, exist_ok=True)
    names, hashes = [], []
    for file_name, (data, info_hash) in items:
        with open(os.path.join(folder, file_name), "wb") as f:
            f.write(data)
        names.append(file_name)
        hashes.append(info_hash)
    with open(os.path.join(folder, "files.txt"), "w") as f:
        f.write("".join(n + "\n" for n in names))
    with open(os.path.join(folder, "expected.txt"), "w") as f:
        f.write("".join(h + "\n" for h in hashes))
    print(f"{name}: {len(names)} files", file=sys.stderr)


def small(rng, count=1000, prefix="small"):
    for i in range(count):
        piece_length = 1 << rng.randint(15, 18)
        length = rng.randint(1, 4 * piece_length)
        info = {"length": length, "name": f"{prefix}-{i:05d}.iso", "piece length": piece_length,
                "pieces": pieces_for(rng, length, piece_length)}
        yield f"{prefix}-{i:05d}.torrent", torrent(info)


def list10k(rng):
    """10,000 small torrents for the list's own benchmark."""
    yield from small(rng, 10000, "list")


def multi(rng):
    for i in range(100):
        files, total = [], 0
        for j in range(rng.randint(10, 2000)):
            length = rng.randint(0, 64 << 20)
            path = [f"dir{rng.randrange(20):02d}", f"part-{j:05d}.dat"]
            files.append({"length": length, "path": path})
            total += length
        piece_length = 1 << 18
        while total // piece_length > 4000:  # keep the piece count realistic
            piece_length *= 2
        info = {"files": files, "name": f"multi-{i:03d}", "piece length": piece_length,
                "pieces": pieces_for(rng, total, piece_length)}
        yield f"multi-{i:03d}.torrent", torrent(info)


def pieces(rng):
    for i in range(5):
        piece_length = 1 << 18
        length = (20 << 20) // 20 * piece_length  # about 20 MB of piece hashes
        info = {"length": length, "name": f"pieces-{i}.img", "piece length": piece_length,
                "pieces": pieces_for(rng, length, piece_length)}
        yield f"pieces-{i}.torrent", torrent(info)


def hundred_thousand_files(rng, name, folder, file, subfolder):
    """One torrent of 100,000 files in 2-3 level paths, 4 MiB pieces; the three functions
    name the folders and the files."""
    files, total = [], 0
    for j in range(100_000):
        length = rng.randint(1, 8 << 20)
        path = [folder(), file(j)]
        if rng.random() < 0.5:
            path.insert(1, subfolder())
        files.append({"length": length, "path": path})
        total += length
    piece_length = 4 << 20
    info = {"files": files, "name": name, "piece length": piece_length,
            "pieces": pieces_for(rng, total, piece_length)}
    yield f"{name}.torrent", torrent(info)


def manyfiles(rng):
    """7.4 MB."""
    yield from hundred_thousand_files(rng, "manyfiles", lambda: f"dir{rng.randrange(10000):04d}",
                                      lambda j: f"file-{j:06d}.bin",
                                      lambda: f"sub{rng.randrange(100):02d}")


WORDS = ["alpha", "bravo", "charlie", "delta", "echo", "foxtrot", "golf", "hotel", "india",
         "juliet", "kilo", "lima", "mike", "november", "oscar", "papa", "quebec", "romeo",
         "sierra", "tango", "uniform", "victor", "whiskey", "xray", "yankee", "zulu"]


def longnames(rng):
    """The same under the longer names of a music archive: 15 MB."""
    def words(count):
        return "-".join(rng.choice(WORDS) for _ in range(count))
    yield from hundred_thousand_files(
        rng, "longnames", lambda: f"collection-{rng.randrange(1000):03d}-{words(3)}",
        lambda j: f"recording-{j:06d}-{words(5)}.flac",
        lambda: f"volume-{rng.randrange(100):02d}-{words(3)}")


def hash_step(h, c):
    h = (h * 16 + c) & 0xFFFFFFFF
    g = h & 0xF0000000
    return h | (g >> 24) if g else h


def key_hash(key):
    h = 0x12345670
    for c in key:
        h = hash_step(h, c)
    return h


def may_reach_bucket0(h, remaining):
    """False when no `remaining` more bytes below 128 can bring the state h to bucket 0.

    Each step adds a byte and ORs at most 0xF0, so the bytes to come add less than
    2**(4*remaining+5) to h shifted by them. The fold ORs bits 28..30 into bits 4..6,
    so bucket 0 needs those three bits clear in the value before the last fold."""
    low = (h << (4 * remaining)) & 0xFFFFFFFF
    high = (low + (1 << (4 * remaining + 5)) - 1) & 0xFFFFFFFF
    return not (low & 0x70000000) or not (high & 0x70000000) or (high >> 28) - (low >> 28) > 1


def colliding_keys(count):
    """The first `count` 7-byte keys in sorted order, over the alphabet below plus a last
    byte, whose key_hash falls into bucket 0 (key_hash & 127 == 0)."""
    alphabet = b"0123456789abcdefghijklmnopqrstuvwxyz"
    keys = []
    for a in alphabet:
        ha = hash_step(0x12345670, a)
        for b in alphabet:
            hb = hash_step(ha, b)
            if not may_reach_bucket0(hb, 5):
                continue
            for c in alphabet:
                hc = hash_step(hb, c)
                if not may_reach_bucket0(hc, 4):
                    continue
                for d in alphabet:
                    hd = hash_step(hc, d)
                    for e in alphabet:
                        he = hash_step(hd, e)
                        for f in alphabet:
                            hf = hash_step(he, f)
                            # With bits 28..30 of x clear the fold leaves bits 0..6 alone,
                            # so x & 127 must be 0: one last byte is the only candidate.
                            last = -(hf << 4) & 127
                            x = (hf * 16 + last) & 0xFFFFFFFF
                            if last >= 32 and not x & 0x70000000:
                                keys.append(bytes((a, b, c, d, e, f, last)))
                                if len(keys) == count:
                                    return keys
    return keys


def collision(rng):
    # Each member is "7:" + key + "i0e", 12 bytes; the keys fill about 16 MiB.
    keys = colliding_keys((16 << 20) // 12)
    assert len(set(keys)) == len(keys) and all(key_hash(k) & 127 == 0 for k in keys)
    info = {"length": 1 << 20, "name": "collision", "piece length": 1 << 18,
            "pieces": pieces_for(rng, 1 << 20, 1 << 18),
            "x-collide": {k: 0 for k in keys}}
    yield "collision.torrent", torrent(info)


def main():
    if len(sys.argv) != 2:
        sys.exit("usage: make_corpus.py OUTDIR")
    outdir = sys.argv[1]
    for name, make in [("small", small), ("multi", multi), ("pieces", pieces),
                       ("manyfiles", manyfiles), ("longnames", longnames), ("list10k", list10k), ("collision", collision)]:
        # Each set has its own generator, so one set's change leaves the others alone.
        write_set(outdir, name, make(random.Random(f"{SEED}-{name}")))


if __name__ == "__main__":
    main()
