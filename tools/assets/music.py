"""The game's music, composed here: a score of notes for four instruments, played by simple
synthesisers, written as one 96-second piece that loops without a seam, and encoded as Ogg
Vorbis by Debian's oggenc (vorbis-tools).

A march for two wooden armies in A minor, 100 beats per minute, forty bars of four beats:
A B A' C A'' with a mallet melody, a soft pad, a plucked bass and a side drum. The piece is
rendered round a circle: what rings on past its last bar is laid over its first, so its end
runs into its start as any bar runs into the next. Noise comes from numpy's generator with
fixed seeds and oggenc is given a fixed stream serial, so every run writes the same bytes.
"""

import pathlib
import subprocess
import tempfile
import wave

import numpy as np

RATE = 22050
BEAT = 0.6  # seconds: 100 beats per minute
BAR = 4 * BEAT

NOTE_NAMES = {"C": 0, "D": 2, "E": 4, "F": 5, "G": 7, "A": 9, "B": 11}

# One chord per bar: root note and the chord's tones (MIDI numbers).
CHORDS = {
    "Am": (45, (57, 60, 64)), "F": (41, (53, 57, 60)), "C": (48, (55, 60, 64)),
    "G": (43, (55, 59, 62)), "E": (40, (56, 59, 64)), "Em": (40, (55, 59, 64)),
    "Dm": (38, (57, 62, 65)),
}

# The melody, bar by bar: "note:beats", "r" a rest.
MELODY_A = [
    "E5:1 A4:.5 B4:.5 C5:1 E5:1", "F5:1.5 E5:.5 C5:1 A4:1", "G4:1 C5:1 E5:1 G5:1",
    "D5:2 B4:1 G4:1", "A4:.5 C5:.5 E5:1 A5:1 G5:1", "F5:1 A5:1 F5:1 C5:1",
    "D5:1 G5:1 F5:.5 E5:.5 D5:1", "E5:2 G#4:1 B4:1",
]
MELODY_B = [
    "A4:1 C5:1 F5:2", "G5:1 F5:.5 E5:.5 D5:2", "E5:1 G5:1 B5:1 G5:1", "A5:3 r:1",
    "F5:1 E5:1 D5:1 A4:1", "B4:1 D5:1 G5:1 F5:1", "E5:1.5 D5:.5 C5:1 G4:1",
    "G#4:1 B4:1 E5:1 D5:1",
]
MELODY_C = [
    "D5:2 F5:2", "E5:2 C5:2", "D5:1 E5:1 F5:1 A5:1", "G#5:3 r:1", "A5:2 C6:1 A5:1",
    "G5:2 E5:2", "F5:1 E5:1 D5:1 C5:1", "B4:2 E5:1 G#4:1",
]
CHORDS_A = ["Am", "F", "C", "G", "Am", "F", "G", "E"]
CHORDS_B = ["F", "G", "Em", "Am", "Dm", "G", "C", "E"]
CHORDS_C = ["Dm", "Am", "Dm", "E", "F", "C", "Dm", "E"]

# The sections in order: (chords, melody, melody voice, drum strength).
FORM = [
    (CHORDS_A, MELODY_A, "mallet", 0.6),
    (CHORDS_B, MELODY_B, "mallet", 0.8),
    (CHORDS_A, MELODY_A, "bell", 0.8),
    (CHORDS_C, MELODY_C, "bell", 0.3),
    (CHORDS_A, MELODY_A, "both", 1.0),
]


def midi(name):
    """MIDI number of a note name such as "G#4"."""
    pitch = NOTE_NAMES[name[0]] + (1 if "#" in name else 0)
    return 12 * (int(name[-1]) + 1) + pitch


def hz(note):
    return 440.0 * 2.0 ** ((note - 69) / 12.0)


def parse_bar(text):
    """[(beat offset, beats, MIDI note or None)] of one bar."""
    notes, at = [], 0.0
    for item in text.split():
        name, beats = item.split(":")
        notes.append((at, float(beats), None if name == "r" else midi(name)))
        at += float(beats)
    assert abs(at - 4.0) < 1e-9, text
    return notes


# Instruments: each returns the samples of one note of `seconds` held, with its ring after.

def mallet(freq, seconds):
    """A wooden bar struck by a mallet: inharmonic partials that die away quickly."""
    t = np.arange(int((seconds + 0.6) * RATE)) / RATE
    out = np.zeros_like(t)
    for ratio, amp, decay in ((1.0, 1.0, 5.0), (3.93, 0.35, 14.0), (9.2, 0.1, 30.0)):
        out += amp * np.sin(2 * np.pi * freq * ratio * t) * np.exp(-decay * t)
    return out * np.clip(t / 0.002, 0, 1)


def bell(freq, seconds):
    """A soft bell: two slightly detuned sines and a fifth above, a longer ring."""
    t = np.arange(int((seconds + 1.0) * RATE)) / RATE
    out = (np.sin(2 * np.pi * freq * t) + 0.6 * np.sin(2 * np.pi * freq * 1.003 * t)
           + 0.25 * np.sin(2 * np.pi * freq * 3.0 * t) * np.exp(-4 * t))
    return 0.55 * out * np.exp(-2.2 * t) * np.clip(t / 0.004, 0, 1)


def pad(freq, seconds):
    """A held chord tone: a few harmonics, slow in and out."""
    t = np.arange(int((seconds + 0.4) * RATE)) / RATE
    out = sum(np.sin(2 * np.pi * freq * k * t) / k ** 1.6 for k in (1, 2, 3, 4))
    rise = np.clip(t / 0.35, 0, 1)
    fall = np.clip((seconds + 0.4 - t) / 0.4, 0, 1)
    return out * rise * fall * (1 + 0.08 * np.sin(2 * np.pi * 5.0 * t))


def bass(freq, seconds):
    """A plucked string: a fundamental and its octave, fading over the note."""
    t = np.arange(int((seconds + 0.3) * RATE)) / RATE
    out = np.sin(2 * np.pi * freq * t) + 0.4 * np.sin(2 * np.pi * 2 * freq * t) * np.exp(-6 * t)
    return out * np.exp(-2.5 * t) * np.clip(t / 0.005, 0, 1)


def drum(seed, accent):
    """A side drum: a burst of noise with a short tone below it."""
    t = np.arange(int(0.25 * RATE)) / RATE
    noise = np.random.default_rng(seed).uniform(-1, 1, t.size)
    smooth = np.convolve(noise, np.ones(3) / 3, mode="same")
    body = 0.5 * np.sin(2 * np.pi * 180 * t) * np.exp(-30 * t)
    return accent * (smooth * np.exp(-22 * t) + body)


def place(track, start_seconds, samples):
    """Adds `samples` at `start_seconds`, wrapping round the end of the circular track."""
    start = int(round(start_seconds * RATE)) % track.size
    indices = (start + np.arange(samples.size)) % track.size
    np.add.at(track, indices, samples)


def compose():
    """The whole piece, mono, peak 0.7."""
    bars = sum(len(chords) for chords, _, _, _ in FORM)
    melody, harmony, low, drums = (np.zeros(int(bars * BAR * RATE)) for _ in range(4))
    bar = 0
    for chords, tune, voice, strength in FORM:
        for chord_name, bar_text in zip(chords, tune):
            at = bar * BAR
            root, tones = CHORDS[chord_name]
            for tone in tones:
                place(harmony, at, pad(hz(tone), BAR - 0.1))
            place(low, at, bass(hz(root), 2 * BEAT))
            place(low, at + 2 * BEAT, bass(hz(root + 7), 2 * BEAT))
            for offset, beats, note in parse_bar(bar_text):
                if note is None:
                    continue
                when, length = at + offset * BEAT, beats * BEAT
                if voice in ("mallet", "both"):
                    place(melody, when, mallet(hz(note), length))
                if voice in ("bell", "both"):
                    place(melody, when, 0.8 * bell(hz(note), length))
            for beat in range(4):
                accent = strength * (1.0 if beat % 2 else 0.45)
                place(drums, at + beat * BEAT, drum(1000 * bar + beat, accent))
                # A quick second stroke before beats 2 and 4: the march's roll.
                if beat % 2:
                    place(drums, at + (beat - 0.25) * BEAT, drum(500 + bar * 4 + beat, 0.3 * accent))
            bar += 1
    mix = 0.9 * melody + 0.18 * harmony + 0.5 * low + 0.22 * drums
    return 0.7 * mix / np.abs(mix).max()


def write_ogg(path, quality=-1):
    """Composes the piece and encodes it into `path`; returns (seconds, bytes)."""
    samples = np.rint(compose() * 32767).astype("<i2")
    with tempfile.TemporaryDirectory() as folder:
        raw = pathlib.Path(folder) / "music.wav"
        with wave.open(str(raw), "wb") as out:
            out.setnchannels(1)
            out.setsampwidth(2)
            out.setframerate(RATE)
            out.writeframes(samples.tobytes())
        subprocess.run(["oggenc", "--quiet", "--serial", "1907", "--quality", str(quality),
                        "--title", "Brivel march", "--output", str(path), str(raw)], check=True)
    return samples.size / RATE, path.stat().st_size
