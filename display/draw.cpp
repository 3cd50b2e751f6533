#include "display/draw.h"

#include "app/game_app.h"
#include "display/compose.h"

void drawKeyed(GameApp& app, const Surface* image, int32_t x, int32_t y, const Rect* sourceRect) {
    if (app.backSurface == nullptr || image == nullptr) return;
    composeCopy(app.backSurface.get(), x, y, *image, sourceRect, true);
}

void drawOpaque(GameApp& app, const Surface* image, int32_t x, int32_t y, const Rect* sourceRect) {
    if (app.backSurface == nullptr || image == nullptr) return;
    composeCopy(app.backSurface.get(), x, y, *image, sourceRect, false);
}
