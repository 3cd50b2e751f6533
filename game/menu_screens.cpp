// The main menu, the options buttons and the best-times screen.
//
// Every button is a strip of two frames of equal size: the normal frame on
// the left, the hover frame on the right. The frame size is the button's own
// and never taken from the image, so a replaced image with a different size
// is cut the same way (a frame that does not fit the image is left out).
#include <array>

#include "app/game_app.h"
#include "display/draw.h"
#include "game/best_times.h"

namespace {

// Hover is strict on all four edges: a pointer exactly on an edge is outside.
struct HoverArea {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;

    bool contains(platform::Point p) const { return left < p.x && p.x < right && top < p.y && p.y < bottom; }
};

struct ButtonLayout {
    int32_t x;  // top-left of the drawn frame
    int32_t y;
    int32_t width;  // of one frame of the strip
    int32_t height;
    HoverArea hover;
};

constexpr ButtonLayout layout(int32_t x, int32_t y, int32_t width, int32_t height, int32_t hoverRight) {
    return {x, y, width, height, {x, y, hoverRight, y + height}};
}

// Indexed by MenuButton; each hover area is exactly the drawn frame.
constexpr std::array<ButtonLayout, 5> MENU_LAYOUT = {
    layout(330, 160, 152, 45, 330 + 152),  // MENU_START
    layout(315, 330, 185, 46, 315 + 185),  // MENU_OPTIONS
    layout(305, 245, 204, 45, 305 + 204),  // MENU_HIGH_SCORES
    layout(350, 415, 105, 45, 350 + 105),  // MENU_HELP
    layout(320, 500, 170, 46, 320 + 170),  // MENU_EXIT
};

// Indexed by OptionsButton. Music and Sound reach further right than their
// images, across the gap and most of the lamp beside them.
constexpr std::array<ButtonLayout, 3> OPTIONS_LAYOUT = {
    layout(350, 450, 100, 46, 450),  // OPTION_BACK
    layout(320, 150, 130, 46, 485),  // OPTION_MUSIC
    layout(330, 250, 121, 46, 486),  // OPTION_SOUND
};

// The on/off lamps of Music and Sound: a strip of two 30x31 frames, on left.
constexpr int32_t LAMP_X = 460;
constexpr int32_t MUSIC_LAMP_Y = 158;
constexpr int32_t SOUND_LAMP_Y = 260;
constexpr int32_t LAMP_WIDTH = 30;
constexpr int32_t LAMP_HEIGHT = 31;

// The four best times, one below the other.
constexpr int32_t BEST_TIMES_X = 340;
constexpr int32_t BEST_TIMES_Y = 150;
constexpr int32_t BEST_TIMES_PITCH = 70;

void drawButton(GameApp& app, const Surface* image, const ButtonLayout& button, bool hovered) {
    const int32_t left = hovered ? button.width : 0;
    const Rect frame{left, 0, left + button.width, button.height};
    drawKeyed(app, image, button.x, button.y, &frame);
}

void drawLamp(GameApp& app, int32_t y, bool on) {
    const int32_t left = on ? 0 : LAMP_WIDTH;
    const Rect frame{left, 0, left + LAMP_WIDTH, LAMP_HEIGHT};
    drawKeyed(app, app.texMenuButton.get(), LAMP_X, y, &frame);
}

}  // namespace

void GameApp::drawMainMenu() {
    drawOpaque(*this, texBackground.get(), 0, 0);
    handleMenuButton(MENU_START);
    handleMenuButton(MENU_HIGH_SCORES);
    handleMenuButton(MENU_HELP);
    handleMenuButton(MENU_OPTIONS);
    handleMenuButton(MENU_EXIT);
}

void GameApp::handleMenuButton(MenuButton button) {
    const Surface* images[] = {texMenuStart.get(), texMenuOptions.get(), texMenuHighScores.get(), texMenuHelp.get(),
                               texMenuExit.get()};
    if (button < MENU_START || button > MENU_EXIT) return;
    const ButtonLayout& place = MENU_LAYOUT[button];

    // The pointer as sampled at the end of the previous frame: the menu does
    // not sample it again.
    const bool hovered = place.hover.contains(cursor);
    drawButton(*this, images[button], place, hovered);
    if (!clickPending || !hovered) return;

    if (soundOn) playSoundEffect(sfxButton);
    clickPending = false;  // no later button of this frame sees the click
    switch (button) {
        case MENU_START:
            state = STATE_NEW_GAME;
            break;
        case MENU_OPTIONS:
            previousState = state;
            state = STATE_OPTIONS;
            break;
        case MENU_HIGH_SCORES:
            previousState = state;
            state = STATE_HIGH_SCORES;
            break;
        case MENU_HELP:
            previousState = state;
            state = STATE_HELP;
            break;
        case MENU_EXIT:
            releaseAll();
            releaseKeyboard();
            platform::exitProcessNormally(EXIT_BUTTON);
    }
}

bool GameApp::handleOptionsButton(OptionsButton button) {
    if (button < OPTION_BACK || button > OPTION_SOUND) return false;
    const ButtonLayout& place = OPTIONS_LAYOUT[button];

    cursor = platform::cursorPosition();  // each button samples afresh
    const bool hovered = place.hover.contains(cursor);

    // The lamp shows the value before any toggle of this frame.
    if (button == OPTION_MUSIC) drawLamp(*this, MUSIC_LAMP_Y, musicOn);
    if (button == OPTION_SOUND) drawLamp(*this, SOUND_LAMP_Y, soundOn);
    const Surface* images[] = {texMenuBack.get(), texMenuMusic.get(), texMenuSound.get()};
    drawButton(*this, images[button], place, hovered);

    // Each button draws the pointer too, so it animates faster on these
    // screens; the frame's own ending still draws it last, on top.
    drawSprite(pointerSprite, cursor.x, cursor.y);

    if (!hovered || !clickPending) return false;
    if (soundOn) playSoundEffect(sfxButton);
    clickPending = false;
    switch (button) {
        case OPTION_BACK:
            state = previousState;
            break;
        case OPTION_MUSIC:
            if (musicOn) {
                stopMusic();
                musicOn = false;
            } else {
                startMusic();  // from the beginning, not from where it stopped
                musicOn = true;
            }
            break;
        case OPTION_SOUND:
            soundOn = !soundOn;
            // A focus cycle while sound was off skipped loading the effects;
            // without this they would stay silent although the lamp says on.
            if (soundOn) loadMissingSoundEffects();
            break;
    }
    return true;
}

void GameApp::showBestTimes() {
    // Read in every frame; when the file cannot be opened the times last
    // read (zero at first) are shown.
    readBestTimes(BEST_TIMES_FILE, bestTimes);
    for (size_t i = 0; i < bestTimes.size(); ++i) {
        drawTime(bestTimes[i], BEST_TIMES_X, BEST_TIMES_Y + BEST_TIMES_PITCH * static_cast<int32_t>(i));
    }
}
