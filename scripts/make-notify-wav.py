#!/usr/bin/env python3
"""Writes the reminder chime resources/notify.wav: a soft two-tone "ding-dong" of about one
second, 16-bit PCM mono at 22050 Hz.

Usage: make-notify-wav.py [OUTPUT]   (default: resources/notify.wav beside this script's folder)
"""

import math
import os
import sys
import wave

RATE = 22050
LENGTH_S = 1.0
PEAK = 0.6  # of full scale, leaves head-room for the two overlapping tones

# (start in seconds, fundamental in Hz): A5 then E5, a falling fourth like a door chime.
TONES = [(0.0, 880.0), (0.28, 659.25)]
# Partials of a struck bell-like tone: (multiple of the fundamental, relative loudness).
PARTIALS = [(1.0, 1.0), (2.0, 0.35), (3.0, 0.12), (4.2, 0.05)]
DECAY_PER_S = 4.5  # exponential fade, so each tone rings out instead of stopping
ATTACK_S = 0.004  # a short rise avoids a click at the start of each tone
FADE_OUT_S = 0.05  # the file ends in silence, whatever the decay left


def sample(t):
    value = 0.0
    for start, frequency in TONES:
        age = t - start
        if age < 0:
            continue
        envelope = math.exp(-DECAY_PER_S * age) * min(1.0, age / ATTACK_S)
        for multiple, loudness in PARTIALS:
            value += loudness * envelope * math.sin(2 * math.pi * frequency * multiple * age)
    remaining = LENGTH_S - t
    if remaining < FADE_OUT_S:
        value *= max(0.0, remaining / FADE_OUT_S)
    return value


def main():
    default = os.path.normpath(
        os.path.join(os.path.dirname(os.path.abspath(__file__)), "..", "resources", "notify.wav"))
    output = sys.argv[1] if len(sys.argv) > 1 else default
    raw = [sample(i / RATE) for i in range(int(RATE * LENGTH_S))]
    scale = PEAK / max(abs(v) for v in raw)
    frames = b"".join(int(round(v * scale * 32767)).to_bytes(2, "little", signed=True) for v in raw)
    with wave.open(output, "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)
    print(f"{output}: {len(raw)} frames, {os.path.getsize(output)} bytes")


if __name__ == "__main__":
    main()
