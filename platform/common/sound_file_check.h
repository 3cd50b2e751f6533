// Small helpers that both platform backends share: the cheap check that a
// sound file is worth handing to a player, and the standard-error copy of
// every message box.
#pragma once

#include <string>

namespace platform {

// True when `path` can be opened and read and begins with a WAV header
// ("RIFF", four size bytes, "WAVE") or an Ogg page ("OggS"). It says nothing
// about the rest of the file. On false, `error` (when not null) gets the
// reason, e.g. "cannot open Sound/Button.aud: No such file or directory".
// Used by the headless audio device and by the silent device of the SDL
// backend, both of which play nothing but must refuse what a real mixer
// would refuse. A null or empty path is refused.
bool soundFileLooksPlayable(const char* path, std::string* error);

// Writes "caption: text\n" to standard error and flushes it. Null caption or
// text count as empty. Called by showMessageBox of both backends, so a
// message is seen even when no box can be shown.
void writeMessageToStderr(const char* caption, const char* text);

}  // namespace platform
