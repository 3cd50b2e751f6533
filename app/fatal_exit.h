// The one fatal path: what the game does when it cannot go on.
#pragma once

struct GameApp;

// Shows `text` in a message box captioned `caption` (each caller has its own
// exact wording), then runs `beforeTeardown` when given, then the teardown
// (app.releaseAll), and ends the process at once with EXIT_FATAL. The audio
// paths pass closeAudioDevice: their device is closed after the box and
// before the teardown. Never returns.
[[noreturn]] void endWithMessage(GameApp& app, const char* caption, const char* text,
                                 void (*beforeTeardown)(GameApp&) = nullptr);

// Closes the audio device (app.performance) ahead of the teardown, so the
// teardown finds none; a failing audio load passes it to endWithMessage.
void closeAudioDevice(GameApp& app);
