#pragma once

// Threads: user-interface thread only, during start-up.

#include <string>
#include <string_view>
#include <vector>

/// What the player reads when no OpenGL context can be made: what failed (`failure`, a few
/// words from the renderer) and what to install.
std::string OpenGlFailureText(std::string_view failure);

/// Says `text` on standard error (one line) and in a message box, and returns once the player
/// closed the box. The box closes itself after the number of milliseconds in the environment
/// variable BRIVEL_TEST_CLOSE_BOX_MS, which only tests set: a box on the offscreen platform
/// has no one to close it.
void ReportStartFailure(const std::string& text);

/// One line each, "brivel: ...", for what the game goes without and plays on: the sound
/// device, the outline font, pictures that could not be decoded. None when nothing is missing.
std::vector<std::string> ShortfallLines(bool hasSoundDevice, bool hasFont,
                                        const std::vector<int>& undecodedPictures);
