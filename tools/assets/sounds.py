"""The game's sound effects, synthesised: 16-bit mono PCM at 44100 samples per second.

Wood is modelled as a few decaying partials at inharmonic ratios plus a short burst of filtered
noise for the contact; the noise comes from Python's own Mersenne Twister with a fixed seed, so
every run writes the same bytes.
"""

import random
import wave

import numpy as np

RATE = 44100
HEADER_BYTES = 44


def _noise(seed, count):
    generator = random.Random(seed)
    return np.array([generator.uniform(-1.0, 1.0) for _ in range(count)])


def _one_pole_lowpass(signal, cutoff_hz):
    alpha = 1.0 - np.exp(-2.0 * np.pi * cutoff_hz / RATE)
    out = np.empty_like(signal)
    state = 0.0
    for k, x in enumerate(signal):
        state += alpha * (x - state)
        out[k] = state
    return out


def _band(signal, low_hz, high_hz):
    """A gentle band-pass: low-pass at high_hz minus low-pass at low_hz."""
    return _one_pole_lowpass(signal, high_hz) - _one_pole_lowpass(signal, low_hz)


def _knock(count, start, base_hz, seed, partials=((1.0, 1.0, 38.0), (2.76, 0.5, 60.0),
                                                  (5.40, 0.25, 95.0), (8.93, 0.12, 140.0)),
           glide=0.0, click=0.5):
    """A wooden knock starting at sample `start`: (ratio, amplitude, decay per second)."""
    t = np.arange(count - start) / RATE
    sound = np.zeros(count)
    bend = 1.0 + glide * (1.0 - np.exp(-t * 40.0))
    for ratio, amplitude, decay in partials:
        phase = 2.0 * np.pi * base_hz * ratio * np.cumsum(bend) / RATE
        sound[start:] += amplitude * np.sin(phase) * np.exp(-decay * t)
    burst = _band(_noise(seed, count - start), 400.0, 5000.0) * np.exp(-t * 400.0)
    sound[start:] += click * burst / max(1e-9, np.abs(burst).max())
    attack = np.clip(t / 0.0008, 0.0, 1.0)
    sound[start:] *= attack
    return sound


def _finish(sound, peak=0.8):
    """Fades the last 4 ms to silence, scales to the given peak, rounds to 16 bits."""
    fade = min(len(sound), int(0.004 * RATE))
    sound = sound.copy()
    sound[-fade:] *= np.linspace(1.0, 0.0, fade)
    sound *= peak / np.abs(sound).max()
    return np.rint(sound * 32767.0).astype("<i2")


def charge(samples):
    """The flick being loaded: a rising scrape of the finger, then a tap."""
    t = np.arange(samples) / RATE
    tap_at = int(0.034 * RATE)
    rise = _band(_noise(1341, samples), 900.0, 3200.0)
    rise *= np.clip(t / 0.034, 0.0, 1.0) ** 2 * (t < 0.036) * 0.35
    sweep = np.sin(2 * np.pi * np.cumsum(300.0 + 900.0 * np.clip(t / 0.034, 0, 1)) / RATE)
    rise += 0.18 * sweep * np.clip(t / 0.034, 0.0, 1.0) ** 3 * (t < 0.036)
    tap = _knock(samples, tap_at, 720.0, 1342, glide=0.12, click=0.6)
    return _finish(rise + tap)


def clack(samples):
    """Two pieces striking each other: a bright clack and a lighter second touch."""
    first = _knock(samples, 0, 1180.0, 1351, click=0.7,
                   partials=((1.0, 1.0, 55.0), (2.31, 0.6, 80.0), (4.1, 0.3, 120.0)))
    second = _knock(samples, int(0.052 * RATE), 1240.0, 1352, click=0.5,
                    partials=((1.0, 1.0, 70.0), (2.31, 0.5, 100.0), (4.1, 0.3, 150.0)))
    return _finish(first + 0.35 * second)


def fall(samples):
    """A piece dropping onto the floor: a low thud, a bounce and a short rattle."""
    partials = ((1.0, 1.0, 30.0), (2.4, 0.55, 45.0), (4.6, 0.3, 70.0), (7.9, 0.15, 110.0))
    thud = _knock(samples, 0, 190.0, 1361, partials=partials, click=0.8)
    bounce = _knock(samples, int(0.058 * RATE), 205.0, 1362, partials=partials, click=0.6)
    rattle = _knock(samples, int(0.092 * RATE), 215.0, 1363, partials=partials, click=0.5)
    body = _one_pole_lowpass(thud + 0.45 * bounce + 0.18 * rattle, 2500.0)
    return _finish(body, peak=0.85)


# (id, file name, maker, file size in bytes)
ALL = [
    (134, "charge.wav", charge, 6900),
    (135, "clack.wav", clack, 16046),
    (136, "fall.wav", fall, 10586),
]


def write(path, samples):
    with wave.open(str(path), "wb") as out:
        out.setnchannels(1)
        out.setsampwidth(2)
        out.setframerate(RATE)
        out.writeframes(samples.tobytes())
