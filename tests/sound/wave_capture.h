#pragma once

#include <cstdint>
#include <vector>

/// The sound tests listen to OpenAL Soft's file-writing output: the real mix, written in real
/// time to a WAVE file, one 16-bit mono sample per frame at 44100 frames per second.

/// Points OpenAL Soft at its file-writing output in a temporary folder of this process (removed
/// at exit). Must run before the first device opens: OpenAL reads its settings once.
void UseWaveWriterOutput();

/// Makes OpenAL Soft find no audio device at all, as on a machine without sound.
void UseNoAudioDevice();

/// Everything the device wrote since it last opened. Call once it has closed again, that is
/// when every player and sound thread is gone; empty if nothing was written.
std::vector<std::int16_t> CapturedOutput();

/// Mean absolute level of `out` over `frames` frames from `from` (0 past the end).
double LevelAt(const std::vector<std::int16_t>& out, int from, int frames);

/// Index of the first (or last) frame that is not silent; -1 when all are.
int FirstSound(const std::vector<std::int16_t>& out);
int LastSound(const std::vector<std::int16_t>& out);

/// Largest absolute sample of `out`.
int PeakLevel(const std::vector<std::int16_t>& out);
