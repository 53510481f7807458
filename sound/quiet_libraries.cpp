#include "sound/quiet_libraries.h"

#include <alsa/asoundlib.h>
#include <cstdlib>

namespace {

void IgnoreAlsaError(const char*, int, const char*, int, const char*, ...) {}

}  // namespace

void QuietSoundLibraries() {
    if (std::getenv("ALSOFT_LOGLEVEL") != nullptr) return;
    // OpenAL Soft reads its log level when first used; 0 logs nothing.
    setenv("ALSOFT_LOGLEVEL", "0", 0);
    // OpenAL Soft's ALSA backend loads this same libasound, so the handler holds there too.
    snd_lib_error_set_handler(IgnoreAlsaError);
}
