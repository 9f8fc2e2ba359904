#!/usr/bin/env python3
"""Synthesise Lintervale's "quaverize" sound and write it as a WAV file.

The sound is a pair of quick plucked notes, G5 then C6 (a rising fourth),
each built from a few harmonics that die away exponentially, the higher
ones faster, as on a plucked string.  The first note leans to the left,
the second to the right, and each is echoed faintly in the other channel
a few milliseconds later for a gentle sense of space.  Short fades at
both ends keep the start and end free of clicks, and the loudest sample
is scaled to -3 dBFS.

The file is 16-bit stereo PCM at 44,100 frames per second with exactly
32,872 frames (131,488 bytes of sound data), under a plain 44-byte
header.  Only the Python standard library is used, and the output is the
same on every run.

Usage:  python3 make_sound.py        (run from any directory)
"""

import math
import os
import struct
import wave

HERE = os.path.dirname(os.path.abspath(__file__))
OUT_PATH = os.path.join(HERE, "sound", "quaverize.wav")

RATE = 44100
CHANNELS = 2
SAMPLE_BYTES = 2
FRAMES = 32872                      # 131,488 bytes of data / 4 bytes per frame
PEAK_DBFS = -3.0
FADE_IN_S = 0.002
FADE_OUT_S = 0.040

# Each note: start time in seconds, frequency in hertz, loudness and pan
# position (0 is fully left, 1 fully right).
NOTES = [
    (0.004, 783.99, 0.85, 0.32),    # G5, a little to the left
    (0.190, 1046.50, 1.00, 0.68),   # C6, a little to the right
]

# Harmonics of a note: (multiple of the fundamental, amplitude, decay time
# constant in seconds).  Higher harmonics are quieter and fade sooner.
HARMONICS = [
    (1, 1.00, 0.150),
    (2, 0.42, 0.080),
    (3, 0.20, 0.050),
    (4, 0.10, 0.032),
    (5, 0.05, 0.022),
]

ATTACK_S = 0.003                    # ramp at each note's start: a soft pluck
ECHO_S = 0.011                      # delay of the echo in the opposite channel
ECHO_GAIN = 0.28


def pluck(t, freq):
    """Return the value of one plucked note t seconds after it starts."""
    if t < 0.0:
        return 0.0
    value = 0.0
    for multiple, amplitude, tau in HARMONICS:
        value += amplitude * math.exp(-t / tau) * math.sin(2 * math.pi * freq * multiple * t)
    # A short linear ramp replaces the hard step at the very start.
    if t < ATTACK_S:
        value *= t / ATTACK_S
    return value


def synthesise():
    """Return the left and right channels as lists of floats."""
    left = [0.0] * FRAMES
    right = [0.0] * FRAMES
    for start, freq, loudness, pan in NOTES:
        # Constant-power panning keeps the note equally loud wherever it sits.
        gain_l = loudness * math.cos(pan * math.pi / 2)
        gain_r = loudness * math.sin(pan * math.pi / 2)
        near, far = (left, right) if gain_l >= gain_r else (right, left)
        near_gain, far_gain = max(gain_l, gain_r), min(gain_l, gain_r)
        for i in range(FRAMES):
            t = i / RATE - start
            direct = pluck(t, freq)
            echo = pluck(t - ECHO_S, freq)
            near[i] += near_gain * direct
            far[i] += far_gain * direct + ECHO_GAIN * near_gain * echo
    return left, right


def apply_fades(channel):
    """Fade the channel in and out with half-cosine ramps, in place."""
    fade_in = int(FADE_IN_S * RATE)
    fade_out = int(FADE_OUT_S * RATE)
    for i in range(fade_in):
        channel[i] *= 0.5 - 0.5 * math.cos(math.pi * i / fade_in)
    for i in range(fade_out):
        # The last frame gets weight 0, so the file ends on silence.
        channel[FRAMES - 1 - i] *= 0.5 - 0.5 * math.cos(math.pi * i / fade_out)


def to_pcm(left, right):
    """Scale both channels to the target peak and interleave 16-bit samples."""
    peak = max(max(abs(v) for v in left), max(abs(v) for v in right))
    scale = 32767 * 10 ** (PEAK_DBFS / 20) / peak
    data = bytearray()
    for l, r in zip(left, right):
        data += struct.pack("<hh", int(round(l * scale)), int(round(r * scale)))
    return bytes(data)


def wav_bytes(pcm):
    """Return a complete WAV file: RIFF header, 16-byte fmt chunk, data chunk."""
    block_align = CHANNELS * SAMPLE_BYTES
    fmt = struct.pack("<HHIIHH", 1, CHANNELS, RATE, RATE * block_align,
                      block_align, SAMPLE_BYTES * 8)
    body = (b"WAVE" + b"fmt " + struct.pack("<I", len(fmt)) + fmt
            + b"data" + struct.pack("<I", len(pcm)) + pcm)
    return b"RIFF" + struct.pack("<I", len(body)) + body


def verify(path):
    """Read the file back and check its size and every header field."""
    expected_data = FRAMES * CHANNELS * SAMPLE_BYTES
    assert os.path.getsize(path) == 44 + expected_data
    with wave.open(path, "rb") as w:
        assert w.getnchannels() == CHANNELS
        assert w.getframerate() == RATE
        assert w.getsampwidth() == SAMPLE_BYTES
        assert w.getnframes() == FRAMES
        assert w.getcomptype() == "NONE"
        assert len(w.readframes(FRAMES)) == expected_data
    with open(path, "rb") as f:
        header = f.read(44)
    riff, riff_size, wave_id, fmt_id, fmt_size = struct.unpack("<4sI4s4sI", header[:20])
    fmt_tag, channels, rate, byte_rate, align, bits = struct.unpack("<HHIIHH", header[20:36])
    data_id, data_size = struct.unpack("<4sI", header[36:44])
    assert (riff, wave_id, fmt_id, data_id) == (b"RIFF", b"WAVE", b"fmt ", b"data")
    assert riff_size == 36 + expected_data and fmt_size == 16
    assert (fmt_tag, channels, rate, bits) == (1, CHANNELS, RATE, 16)
    assert byte_rate == RATE * CHANNELS * SAMPLE_BYTES and align == CHANNELS * SAMPLE_BYTES
    assert data_size == expected_data
    return os.path.getsize(path), data_size


def main():
    """Synthesise, write and check the sound file."""
    left, right = synthesise()
    apply_fades(left)
    apply_fades(right)
    os.makedirs(os.path.dirname(OUT_PATH), exist_ok=True)
    with open(OUT_PATH, "wb") as f:
        f.write(wav_bytes(to_pcm(left, right)))
    total, data = verify(OUT_PATH)
    print("wrote %s: %d bytes in all, %d bytes of sound data"
          % (os.path.relpath(OUT_PATH, HERE), total, data))


if __name__ == "__main__":
    main()
