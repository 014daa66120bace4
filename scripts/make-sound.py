#!/usr/bin/env python3
"""Writes sound.wav, the signal Quorvane rings before game time begins and ends:
a short two-note chime, 16-bit mono at 22050 Hz, the same bytes on every run."""
import math
import struct
import sys
import wave

RATE = 22050


def note(freq, seconds, volume=0.45):
    n = int(RATE * seconds)
    out = []
    for i in range(n):
        t = i / RATE
        envelope = min(1.0, i / (RATE * 0.01)) * math.exp(-3.0 * t / seconds)
        sample = volume * envelope * (math.sin(2 * math.pi * freq * t) + 0.3 * math.sin(4 * math.pi * freq * t))
        out.append(int(max(-1.0, min(1.0, sample)) * 32767))
    return out


def main(path):
    samples = note(880.0, 0.25) + note(659.25, 0.45)
    with wave.open(path, "wb") as w:
        w.setnchannels(1)
        w.setsampwidth(2)
        w.setframerate(RATE)
        w.writeframes(struct.pack("<%dh" % len(samples), *samples))


if __name__ == "__main__":
    main(sys.argv[1] if len(sys.argv) > 1 else "sound.wav")
