#!/usr/bin/env python3
"""Synthesizes the game's thirteen sounds into resources/sounds/*.wav.

Python standard library only, and deterministic: running it again gives the same files.
Each sound is short (mono, 16-bit, 22,050 Hz) and made to fit its moment: a crash of pins
for a strike, a soft click for a tile laid on the word row, a tick for the last seconds.
"""
import math
import pathlib
import random
import struct
import wave

RATE = 22050
OUT = pathlib.Path(__file__).resolve().parent.parent / "resources" / "sounds"
noise = random.Random(1972)


def silence(seconds):
    return [0.0] * int(RATE * seconds)


def tone(freq, seconds, shape="sine", attack=0.005, decay=None, volume=0.6):
    """One note; `decay` is the time constant of an exponential fade (None: linear to the end)."""
    n = int(RATE * seconds)
    out = []
    for i in range(n):
        t = i / RATE
        phase = (freq * t) % 1.0
        if shape == "sine":
            v = math.sin(2 * math.pi * phase)
        elif shape == "square":
            v = 1.0 if phase < 0.5 else -1.0
        elif shape == "saw":
            v = 2.0 * phase - 1.0
        else:  # a bell: a few inharmonic partials
            v = (math.sin(2 * math.pi * freq * t) + 0.5 * math.sin(2 * math.pi * freq * 2.76 * t)
                 + 0.25 * math.sin(2 * math.pi * freq * 5.4 * t)) / 1.75
        env = min(1.0, t / attack) if attack > 0 else 1.0
        env *= math.exp(-t / decay) if decay else (1.0 - i / n)
        out.append(volume * v * env)
    return out


def noise_burst(seconds, decay, volume=0.6, smooth=0.0):
    """Decaying noise; `smooth` (0 to 1) low-passes it for a duller sound."""
    out, last = [], 0.0
    for i in range(int(RATE * seconds)):
        last = smooth * last + (1 - smooth) * noise.uniform(-1, 1)
        out.append(volume * last * math.exp(-(i / RATE) / decay))
    return out


def mix(*parts):
    """Parts as (start seconds, samples), summed."""
    end = max(int(start * RATE) + len(samples) for start, samples in parts)
    out = [0.0] * end
    for start, samples in parts:
        offset = int(start * RATE)
        for i, v in enumerate(samples):
            out[offset + i] += v
    return out


def clack(volume=0.5):
    """One pin hitting another: a click with a hollow wooden ring."""
    return mix((0, noise_burst(0.05, 0.008, volume, 0.2)),
               (0, tone(noise.uniform(900, 1500), 0.12, "bell", 0.001, 0.025, volume * 0.6)))


def sweep(f0, f1, seconds, volume=0.5, shape="sine"):
    out, phase = [], 0.0
    n = int(RATE * seconds)
    for i in range(n):
        f = f0 + (f1 - f0) * i / n
        phase += f / RATE
        v = math.sin(2 * math.pi * phase) if shape == "sine" else (1.0 if phase % 1 < 0.5 else -1.0)
        out.append(volume * v * math.sin(math.pi * i / n))
    return out


def strike():
    rumble = noise_burst(0.5, 0.25, 0.35, 0.97)
    parts = [(0, rumble), (0.28, noise_burst(0.6, 0.2, 0.5, 0.5))]
    t = 0.28
    for _ in range(14):
        parts.append((t, clack(noise.uniform(0.25, 0.5))))
        t += noise.uniform(0.01, 0.05)
    return mix(*parts)


SOUNDS = {
    "badword": lambda: mix((0, tone(196, 0.2, "square", 0.01, 0.12, 0.25)),
                           (0.18, tone(147, 0.3, "square", 0.01, 0.15, 0.25))),
    "clear": lambda: mix((0, noise_burst(0.3, 0.1, 0.4, 0.85)), (0, sweep(900, 300, 0.3, 0.15))),
    "entered": lambda: mix((0, tone(659, 0.5, "bell", 0.002, 0.18, 0.45)),
                           (0.16, tone(523, 0.6, "bell", 0.002, 0.22, 0.45))),
    "gameover": lambda: mix(*[(0.13 * k, tone(f, 0.5, "saw", 0.01, 0.2, 0.18))
                              for k, f in enumerate((523, 659, 784, 1047))],
                            (0.52, tone(1047, 0.6, "sine", 0.01, 0.3, 0.3))),
    "goodword": lambda: mix((0, tone(784, 0.25, "sine", 0.005, 0.1, 0.4)),
                            (0.09, tone(1175, 0.3, "sine", 0.005, 0.12, 0.4))),
    "puttile": lambda: noise_burst(0.035, 0.006, 0.5, 0.6),
    "strike": strike,
    "swap": lambda: mix((0, noise_burst(0.04, 0.008, 0.45, 0.5)), (0.08, noise_burst(0.04, 0.008, 0.45, 0.5)),
                        (0, noise_burst(0.12, 0.06, 0.12, 0.9))),
    "time": lambda: tone(1800, 0.06, "bell", 0.001, 0.012, 0.5),
    "timeup": lambda: tone(110, 0.5, "square", 0.01, 0.3, 0.3),
    "turn": lambda: mix((0, noise_burst(0.7, 0.4, 0.35, 0.985)), (0, sweep(60, 90, 0.7, 0.25))),
    "turnnew": lambda: mix(*[(0.07 * k, tone(f, 0.45, "bell", 0.002, 0.15, 0.3))
                             for k, f in enumerate((880, 1109, 1319))]),
    "unselect": lambda: mix((0, noise_burst(0.03, 0.006, 0.35, 0.7)), (0, sweep(700, 350, 0.08, 0.2))),
}


def write(name, samples):
    peak = max(1e-9, max(abs(v) for v in samples))
    scale = 0.9 / peak if peak > 0.9 else 1.0
    frames = b"".join(struct.pack("<h", int(max(-1.0, min(1.0, v * scale)) * 32767)) for v in samples)
    with wave.open(str(OUT / f"{name}.wav"), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(frames)


def main():
    OUT.mkdir(parents=True, exist_ok=True)
    for name, make in SOUNDS.items():
        write(name, make() + silence(0.01))
    print(f"{len(SOUNDS)} sounds in {OUT}")


if __name__ == "__main__":
    main()
