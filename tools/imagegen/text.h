// Text for the image generator, rendered by SDL2_ttf from the DejaVu fonts.
//
// Text becomes a Mask at the sample resolution of the layer it is painted on,
// so the layer's averaging smooths it like every other shape. The fonts are
// a build dependency only: the game itself reads none.
#pragma once

#include <map>
#include <string>
#include <tuple>
#include <utility>

#include "tools/imagegen/canvas.h"

typedef struct _TTF_Font TTF_Font;

namespace imagegen {

// A rendered line of text: its coverage, and the sample of the mask at which
// the line's layout box begins (an outline grows the mask on every side).
struct TextMask {
    Mask mask;
    int originX = 0;  // samples
    int originY = 0;
    int scale = 1;  // samples per pixel the mask was made for

    // The inked part of the line in pixels, relative to the layout box's
    // top-left (what centring should use: accents and descenders vary).
    Box inkBox() const;
};

class TextRenderer {
public:
    // Starts SDL2_ttf. `fontFolder` holds the .ttf files. Throws
    // std::runtime_error when SDL2_ttf cannot start.
    explicit TextRenderer(std::string fontFolder);
    ~TextRenderer();
    TextRenderer(const TextRenderer&) = delete;
    TextRenderer& operator=(const TextRenderer&) = delete;

    // Renders one line of UTF-8 `text` in the font file `font` (a file name
    // inside the font folder) with an em size of `pixelSize` pixels, for a
    // layer of `scale` samples per pixel. `outline` in pixels thickens every
    // stroke on all sides (0: the plain glyphs). Throws std::runtime_error
    // when the font cannot be opened or the text cannot be rendered.
    TextMask render(const std::string& font, float pixelSize, int scale, const std::string& text, float outline = 0.0f);

    // The advance width of `text` in pixels, as render() would lay it out.
    float width(const std::string& font, float pixelSize, int scale, const std::string& text);

private:
    TTF_Font* open(const std::string& font, int size, int outline, bool hinted);

    std::string folder_;
    std::map<std::tuple<std::string, int, int, bool>, TTF_Font*> fonts_;
};

// Paints `text` on `layer` with the layout box's top-left at pixel (x, y).
template <class Paint>
void paintText(Layer& layer, const TextMask& text, float x, float y, Paint paint) {
    float s = static_cast<float>(layer.scale());
    layer.paintMask(text.mask, x - static_cast<float>(text.originX) / s, y - static_cast<float>(text.originY) / s,
                    paint);
}

// The layout position that centres the ink of `text` on (cx, cy).
inline std::pair<float, float> centredAt(const TextMask& text, float cx, float cy) {
    Box ink = text.inkBox();
    return {cx - (ink.x0 + ink.x1) * 0.5f, cy - (ink.y0 + ink.y1) * 0.5f};
}

}  // namespace imagegen
