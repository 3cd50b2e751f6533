// The seam between the game and the machine it runs on.
//
// Everything the game needs from the outside world goes through these plain
// functions: time, the pointer, the event queue, the key snapshot, the window
// and the presenting of finished frames, image decoding, the audio device,
// message boxes and ending the process. Two backends implement them at link
// time: platform/sdl for the real game and platform/headless for tests. No
// other code of the game includes SDL.
//
// Handles are opaque: the backend owns what they point to, the game only holds
// them and gives them back through the matching release function. Every
// function is called from the game's one thread.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace platform {

// ---------------------------------------------------------------- picture size
// The game composes an 800x600 picture of RGB565 pixels; the backend scales it
// to whatever the screen is.
constexpr int PICTURE_WIDTH = 800;
constexpr int PICTURE_HEIGHT = 600;
constexpr int PICTURE_PIXELS = PICTURE_WIDTH * PICTURE_HEIGHT;

// ------------------------------------------------------------------------ time
// Milliseconds since an arbitrary start, wrapping at 2^32. Read by the play
// clock (game start tick) and by the frame loop's pacing. Callers compare
// ticks only through unsigned differences, so the wrap is harmless.
uint32_t ticks();

// Blocks until ticks() has reached `deadline` (compared as a signed 32-bit
// difference, so it works across the wrap). Returns at once when the deadline
// has passed. The SDL backend sleeps (no spinning); the headless clock simply
// jumps forward to the deadline. Called once per pass by the frame loop.
void waitUntil(uint32_t deadline);

// --------------------------------------------------------------------- pointer
struct Point {
    int32_t x;
    int32_t y;
};

// The pointer position in picture pixels, already mapped from the window
// (black bars included) and clamped to 0..799 and 0..599. Sampled by the frame
// step, the options buttons and the sound effects, as often as they like.
Point cursorPosition();

// ---------------------------------------------------------------------- events
// The only four things the game reacts to. Everything else (expose, resize,
// key presses, motion) is handled inside the backend.
enum EventKind : int32_t {
    EVENT_NONE = 0,          // the queue is empty
    EVENT_FOCUS_LOST,        // the window lost the keyboard focus
    EVENT_FOCUS_GAINED,      // the window got it (back)
    EVENT_LEFT_BUTTON_DOWN,  // the left button went down over the window
    EVENT_QUIT,              // the window was closed (or SIGTERM/SIGINT)
};

// Takes the oldest pending game event off the queue, or EVENT_NONE. The frame
// loop calls it exactly once per pass, so at most one event acts per pass.
// Never blocks.
EventKind pollEvent();

// Sleeps until a game event is pending or `timeoutMs` have passed; true when
// one is pending (it stays queued for pollEvent). Returns at once when one
// already is. The frame loop calls it while suspended, so that a minimised
// game does not wake thirty times a second to find nothing to do. The
// headless clock jumps forward by `timeoutMs` when nothing is queued.
bool waitForEvent(uint32_t timeoutMs);

// -------------------------------------------------------------------- keyboard
// Key codes index the 256-byte snapshot; they are the classic scan codes.
constexpr int KEY_COUNT = 256;
constexpr int KEY_ESCAPE = 0x01;
constexpr int KEY_F9 = 0x43;
constexpr uint8_t KEY_DOWN = 0x80;  // bit set in a snapshot byte when down

struct Keyboard;  // opaque: the opened keyboard source
struct Window;    // opaque: the game's one window

// Opens the keyboard source for `window`. Null when it cannot be opened; the
// game then ends silently. Called once at start-up, after the window exists.
Keyboard* keyboardOpen(Window* window);

// Fills `state` (KEY_COUNT bytes, zeroed by the caller) with KEY_DOWN for
// every key that is held now or was pressed since the previous successful
// read: a tap shorter than a frame is seen once. Presses are dropped when the
// window loses the focus. Returns false when the snapshot cannot be had (the
// source lost the keyboard); the caller then calls keyboardAcquire and ignores
// every key this frame. Called once per frame by the keyboard poll.
bool keyboardRead(Keyboard* keyboard, uint8_t* state);

// Tries to get the keyboard back after a failed read. True when it is back.
bool keyboardAcquire(Keyboard* keyboard);

// Gives the keyboard source back. Null is ignored.
void keyboardClose(Keyboard* keyboard);

// ---------------------------------------------------------------------- window
// Creates the game's visible window with `title`, covering the primary
// monitor, with the system cursor hidden. On failure returns null and puts the reason
// in `error` (for example that no display could be opened). Called once at
// start-up, before the keyboard and the assets.
Window* windowCreate(const char* title, std::string* error);

// Destroys the window and shuts the backend down. Called once, at the very
// end of a normal run (after every device has been released). Null ignored.
void windowDestroy(Window* window);

// ------------------------------------------------------------- display device
// The display device is set up in four steps, each of which can fail; the
// game reports the first failing step and ends. Release runs in reverse.

struct PrimarySurface;  // opaque: the window's drawing surface

// Step 1: makes the window cover its monitor (borderless fullscreen at the
// monitor's size; its mode is never changed), unless the player has taken
// it out of fullscreen into an ordinary window, which then stays a window.
bool displaySetFullscreen(Window* window);

// Step 2: checks that the window's pixel format can be served by the
// presenter (the 800x600 RGB565 picture can be converted into it).
bool displaySetMode(Window* window);

// Step 3: gets the window's drawing surface. Null when it cannot be had.
PrimarySurface* displayCreatePrimary(Window* window);

// Step 4: prepares presenting onto `primary`: scaling tables and the record
// of the picture on screen. False when that memory cannot be had.
bool displayCreateBackBuffer(PrimarySurface* primary);

// Undoes step 4. Safe on a primary without a back buffer. Null ignored.
void displayReleaseBackBuffer(PrimarySurface* primary);

// Undoes step 3. Null ignored.
void displayReleasePrimary(PrimarySurface* primary);

// Shows a finished picture: PICTURE_PIXELS RGB565 values, row by row, top row
// first, pitch PICTURE_WIDTH. The backend copies what it needs before it
// returns; `pixels` stays the caller's. Called once per frame by the frame
// step, as its last drawing act. Does nothing without a back buffer.
void displayPresent(PrimarySurface* primary, const uint16_t* pixels);

// Tiles of the picture for telling the backend where a frame can differ from
// the one before: 16x16 pixels, row-major, 50 x 38 (the last row of tiles
// reaches past the picture's bottom and covers only its last 8 rows).
constexpr int PRESENT_TILE = 16;
constexpr int PRESENT_TILES_X = (PICTURE_WIDTH + PRESENT_TILE - 1) / PRESENT_TILE;
constexpr int PRESENT_TILES_Y = (PICTURE_HEIGHT + PRESENT_TILE - 1) / PRESENT_TILE;

// As displayPresent, but `changedTiles` (PRESENT_TILES_X * PRESENT_TILES_Y
// flags, not owned) says where `pixels` can differ from the picture handed
// to the previous present: every pixel outside a non-zero tile must equal
// the previous picture's, and the backend looks only inside the flagged
// tiles. Null means anything can have changed. Called by flipFrame when the
// back buffer tracks its changes.
void displayPresentChanged(PrimarySurface* primary, const uint16_t* pixels, const uint8_t* changedTiles);

// The picture most recently handed to displayPresent in this run (kept across
// focus loss and release), or null when nothing has been presented yet.
// Valid until the next displayPresent. Read by the screenshot writer.
const uint16_t* displayLastPresented();

// -------------------------------------------------------------- image decoding
// A decoded image: width*height pixels as 0x00RRGGBB, top row first. Any alpha
// or fourth byte in the file is ignored.
struct DecodedImage {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint32_t> pixels;
};

// Decodes a Windows bitmap file (every common variant: 1/4/8/16/24/32 bits,
// RLE4/RLE8, bitfields, top-down rows, OS/2 headers). Returns false, with the
// reason in `error`, when the file is missing or is no bitmap. Shared code of
// both backends (platform/common); never initialises video or audio.
bool decodeBmpFile(const char* path, DecodedImage* image, std::string* error);

// The same image in the display's own format: width*height RGB565 pixels,
// each rgbTo565 (platform/rgb565.h) of what decodeBmpFile gives, top row first.
struct DecodedImage565 {
    int32_t width = 0;
    int32_t height = 0;
    std::vector<uint16_t> pixels;
};

// As decodeBmpFile (same files, same refusals), straight into RGB565: the
// uncompressed 24- and 32-bit files the game ships are converted once, from
// their bytes, with no 32-bit copy in between. Called by the image loader.
bool decodeBmpFile565(const char* path, DecodedImage565* image, std::string* error);

// ----------------------------------------------------------------------- audio
// One audio device plays the looping music and the effects over it. Each
// effect plays on its own path (a group of mixer channels) whose left and
// right gains the game sets, so a new position applies to every instance of
// that effect still sounding and never to another effect.
//
// When no real device can be opened the backend still returns a device that
// plays nothing (it says so once on standard error): "no sound" is a valid
// state, not an error. Loading still checks each file (it exists, can be read
// and starts with a WAV or Ogg header, or the mixer can decode it).

struct AudioDevice;  // opaque: the opened device (silent when there is none)
struct AudioMusic;   // opaque: the background music
struct AudioSample;  // opaque: one loaded effect
struct AudioPath;    // opaque: an effect's own group of channels

// Opens the device (44.1 kHz, 16-bit, stereo, 1024-sample buffer). Null only
// when even a silent device cannot be had. Called by initMusic.
AudioDevice* audioOpenDevice();

// Stops everything and closes the device. Null ignored. Handles loaded from
// it may still be freed afterwards.
void audioCloseDevice(AudioDevice* device);

// Loads the music file at `path` (format recognised from the content). Null
// when the file cannot be loaded.
AudioMusic* audioLoadMusic(AudioDevice* device, const char* path);
void audioFreeMusic(AudioMusic* music);

// Plays `music` from its beginning, looping without end.
void audioPlayMusic(AudioDevice* device, AudioMusic* music);

// Stops the music and every sounding effect at once.
void audioStopAll(AudioDevice* device);

// Loads one effect file. Null when it cannot be loaded.
AudioSample* audioLoadSample(AudioDevice* device, const char* path);
void audioFreeSample(AudioSample* sample);

// Creates an effect's own path (group of channels). Null when it cannot be
// made; playing on a null path does nothing.
AudioPath* audioCreatePath(AudioDevice* device);
void audioFreePath(AudioPath* path);

// Sets the gains (0..1 each) on every channel of `path`, then starts `sample`
// once on a free channel of `path`, over the music.
void audioPlayOnPath(AudioDevice* device, AudioPath* path, AudioSample* sample, float leftGain, float rightGain);

// ---------------------------------------------------------------- messages
// Shows a modal message box with `caption` and `text` and an OK button, and
// returns when it is closed. The same caption and text always go to standard
// error too, as "caption: text", also when no box can be shown.
void showMessageBox(const char* caption, const char* text);

// ------------------------------------------------------------- process end
// Ends the process at once with `code` (-1 becomes 255), without exit
// handlers: the fatal paths, after their message box and teardown.
[[noreturn]] void exitProcessNow(int code);

// Ends the process normally with `code`: exit handlers run and streams are
// flushed. The Exit button uses it.
[[noreturn]] void exitProcessNormally(int code);

}  // namespace platform
