#pragma once

// Threads: main thread, at program start, before any other thread runs (it sets the
// environment).

/// Keeps the sound libraries' own diagnostics off standard error: OpenAL Soft's log and the
/// messages ALSA prints while it looks for a sound card that is not there. The game says itself,
/// in one line, when it plays silently. Someone who sets ALSOFT_LOGLEVEL asks for the libraries'
/// messages and gets them all, ALSA's included. Before the first sound device is opened.
void QuietSoundLibraries();
