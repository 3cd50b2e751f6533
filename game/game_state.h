// The screen states, one per screen; every frame is one step of the current one.
#pragma once

#include <cstdint>

enum GameState : int32_t {
    STATE_MAIN_MENU = 0,
    STATE_OPTIONS = 1,
    STATE_HIGH_SCORES = 2,
    STATE_HELP = 3,
    STATE_NEW_GAME = 4,
    STATE_PLAYING = 5,
    STATE_WON = 6,
    STATE_LOST = 7,
};

// Buttons of the main menu.
enum MenuButton : int32_t {
    MENU_START = 0,
    MENU_OPTIONS = 1,
    MENU_HIGH_SCORES = 2,
    MENU_HELP = 3,
    MENU_EXIT = 4,
};

// Buttons of the options screen; OPTION_BACK is also the Back button of the
// best-times and help screens.
enum OptionsButton : int32_t {
    OPTION_BACK = 0,
    OPTION_MUSIC = 1,
    OPTION_SOUND = 2,
};
