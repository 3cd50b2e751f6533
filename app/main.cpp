// Quillmara: a jumping-pieces solitaire on a 9x9 grid.
#include "app/frame_loop.h"

int main() {
    return runGame();
}
