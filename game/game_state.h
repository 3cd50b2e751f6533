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

// Buttons of the main menu, numbered from 0; they index the menu's layout
// table.
enum MenuButton : int32_t { MENU_START, MENU_OPTIONS, MENU_HIGH_SCORES, MENU_HELP, MENU_EXIT };

// Buttons of the options screen; OPTION_BACK is also the Back button of the
// best-times and help screens.
enum OptionsButton : int32_t { OPTION_BACK, OPTION_MUSIC, OPTION_SOUND };
