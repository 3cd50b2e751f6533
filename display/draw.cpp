#include "display/draw.h"

#include "app/game_app.h"

void drawKeyed(GameApp& app, const Surface* image, int32_t x, int32_t y, const Rect* sourceRect) {
    if (app.backSurface == nullptr || image == nullptr) return;
    copyKeyed(app.backSurface.get(), x, y, *image, sourceRect);
}

void drawOpaque(GameApp& app, const Surface* image, int32_t x, int32_t y, const Rect* sourceRect) {
    if (app.backSurface == nullptr || image == nullptr) return;
    copyOpaque(app.backSurface.get(), x, y, *image, sourceRect);
}
