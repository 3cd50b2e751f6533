// The one application object: every device, asset and the whole game state.
//
// Exactly one exists, built at start-up and published through theGameApp
// before the window exists; it is never destroyed. Its devices and assets go
// through cycles (loadAssets fills them, releaseAll empties them at every
// focus loss and at the end); the game fields survive those cycles.
//
// Its operations live in the module that owns them: display/, game/, audio/
// and input/ each implement their part of this class.
#pragma once

#include <array>
#include <cstdint>
#include <memory>

#include "app/status.h"
#include "audio/sound_effect.h"
#include "display/sprite.h"
#include "display/surface.h"
#include "game/board.h"
#include "game/game_state.h"
#include "platform/platform.h"

struct GameApp {
    GameApp();
    GameApp(const GameApp&) = delete;
    GameApp& operator=(const GameApp&) = delete;

    // ------------------------------------------------------------ devices
    platform::Window* window = nullptr;                  // the main window
    platform::PrimarySurface* primarySurface = nullptr;  // the window's surface: what the screen shows
    std::unique_ptr<Surface> backSurface;                // 800x600; all drawing goes here
    platform::AudioDevice* performance = nullptr;        // the audio device: plays the music and the effects
    platform::AudioMusic* musicSegment = nullptr;        // the loaded background music (Sound/BkGnd.mus)

    // ------------------------------------------------------------- images
    // Files, load order and release order: display/image_list.h.
    std::unique_ptr<Surface> texMenuStart;
    std::unique_ptr<Surface> texMenuExit;
    std::unique_ptr<Surface> texMenuHelp;
    std::unique_ptr<Surface> texMenuOptions;
    std::unique_ptr<Surface> texMenuHighScores;
    std::unique_ptr<Surface> texMenuBack;
    std::unique_ptr<Surface> texMenuMusic;
    std::unique_ptr<Surface> texMenuSound;
    std::unique_ptr<Surface> texMenuButton;  // not a button: the on/off lamp strip of the options screen
    std::unique_ptr<Surface> texBackground;  // the only image without a colour key
    std::unique_ptr<Surface> texHelp;
    std::unique_ptr<Surface> texMousePtr;    // pointer animation strip
    std::unique_ptr<Surface> texDigit;       // digit strip of the clock
    std::unique_ptr<Surface> texHyphenBlue;  // separator glyph of the clock

    platform::Keyboard* keyboard = nullptr;  // lives from start-up to the end, across focus cycles

    std::unique_ptr<Surface> texLogo;
    std::unique_ptr<Surface> texWon;
    std::unique_ptr<Surface> texFail;
    std::unique_ptr<Surface> texLamp;     // not a lamp: the piece drawn on a hole
    std::unique_ptr<Surface> texButton1;  // not a button: the hole of a board cell

    // ------------------------------------------------------- game fields
    bool clickPending = false;  // a left press arrived and no frame consumed it yet
    bool musicOn = true;
    bool soundOn = true;
    GameState state = STATE_MAIN_MENU;
    GameState previousState = STATE_MAIN_MENU;  // where a sub-screen's Back returns
    bool suspended = false;                     // focus lost: every device and asset released
    platform::Point cursor{0, 0};               // last sampled pointer position
    AnimatedSprite pointerSprite;
    uint32_t gameStartTick = 0;  // ticks() when the current game began
    int32_t elapsedSeconds = 0;

    std::unique_ptr<Surface> texBoard;  // play-screen backdrop

    bool pieceSelected = false;
    int32_t selectedRow = 0;
    int32_t selectedCol = 0;
    Board board{};  // all CELL_NONE before the first level
    std::array<int32_t, 4> bestTimes{};
    int32_t finalSeconds = 0;

    SoundEffect sfxButton;
    SoundEffect sfxExplode;
    SoundEffect sfxSuccess;

    // ----------------------------------------------------- app/game_app.cpp
    // The one teardown: images, then audio, then the display device. Safe to
    // run any number of times and before anything is loaded. The fatal path
    // (app/fatal_exit.h) runs it too.
    void releaseAll();

    // --------------------------------------------- display/display_device.cpp
    int32_t initDisplay();                   // 1 when ready; never returns on failure
    void releaseDisplay();                   // back buffer, then primary surface
    Status clearBackSurface(uint32_t fill);  // STATUS_POINTER while absent
    void flipFrame();                        // presents the back buffer

    // ---------------------------------------------- display/image_assets.cpp
    std::unique_ptr<Surface> loadTex(const char* path);  // never returns on failure
    uint32_t colorMatch(uint32_t colorRef);              // 0x00BBGGRR to the pixel value; 0 without primary
    int32_t loadAssets();                                // 0, or a negative status from initMusic

    // -------------------------------------------- display/sprite_drawing.cpp
    void initSprite(AnimatedSprite& sprite, int32_t kind, int32_t frameCount, int32_t frameDelay, int32_t frameWidth,
                    int32_t frameHeight);
    void drawSprite(AnimatedSprite& sprite, int32_t x, int32_t y);
    void drawNumber(int32_t value, int32_t x, int32_t y, int32_t digits);
    void drawTime(int32_t seconds, int32_t x, int32_t y);

    // ----------------------------------------------------- audio/music.cpp
    Status initMusic();  // never returns when the music cannot be loaded
    void startMusic();
    void stopMusic();
    void releaseAudio();

    // ---------------------------------------------- audio/sound_effect.cpp
    bool loadSoundEffect(const char* path, SoundEffect& effect);  // false while sound is off
    void playSoundEffect(SoundEffect& effect);
    void releaseSoundEffect(SoundEffect& effect);
    // Loads every effect record that is still empty (only while sound is on),
    // with the same fatal path as loadSoundEffect. Switching sound on calls it,
    // so effects skipped by a reload while sound was off play again at once.
    void loadMissingSoundEffects();

    // --------------------------------------------------- input/keyboard.cpp
    Status initKeyboard();
    void pollKeyboard();
    void releaseKeyboard();

    // ------------------------------------------------------ game/level.cpp
    void loadLevel();
    void drawBoard();

    // ------------------------------------------------------ game/rules.cpp
    bool canJump(int32_t row, int32_t col);
    bool noPieceCanMove();
    bool fewerThanTwoPieces();
    void handleBoardClick();

    // ------------------------------------------------- game/frame_step.cpp
    void stepFrame();
    int32_t updatePlayTimer();

    // ----------------------------------------------- game/menu_screens.cpp
    void drawMainMenu();
    void handleMenuButton(MenuButton button);
    bool handleOptionsButton(OptionsButton button);
    void showBestTimes();
};

// The program-wide application object, set before the window is created.
extern GameApp* theGameApp;
