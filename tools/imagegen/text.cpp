#include "tools/imagegen/text.h"

#include <SDL.h>
#include <SDL_ttf.h>

#include <cmath>
#include <stdexcept>

namespace imagegen {

Box TextMask::inkBox() const {
    Mask::Ink ink = mask.ink();
    float s = static_cast<float>(scale);
    return {static_cast<float>(ink.x0 - originX) / s, static_cast<float>(ink.y0 - originY) / s,
            static_cast<float>(ink.x1 - originX) / s, static_cast<float>(ink.y1 - originY) / s};
}

TextRenderer::TextRenderer(std::string fontFolder) : folder_(std::move(fontFolder)) {
    if (TTF_Init() != 0) throw std::runtime_error(std::string("TTF_Init failed: ") + TTF_GetError());
}

TextRenderer::~TextRenderer() {
    for (auto& entry : fonts_) TTF_CloseFont(entry.second);
    TTF_Quit();
}

TTF_Font* TextRenderer::open(const std::string& font, int size, int outline, bool hinted) {
    auto key = std::make_tuple(font, size, outline, hinted);
    auto found = fonts_.find(key);
    if (found != fonts_.end()) return found->second;
    std::string path = folder_ + "/" + font;
    TTF_Font* handle = TTF_OpenFont(path.c_str(), size);
    if (!handle) throw std::runtime_error("TTF_OpenFont(" + path + ") failed: " + TTF_GetError());
    // Supersampled text is smoothed by the layer; hinting would only distort
    // the outlines. Text drawn at its final size keeps light hinting.
    TTF_SetFontHinting(handle, hinted ? TTF_HINTING_LIGHT : TTF_HINTING_NONE);
    TTF_SetFontOutline(handle, outline);
    fonts_[key] = handle;
    return handle;
}

TextMask TextRenderer::render(const std::string& font, float pixelSize, int scale, const std::string& text,
                              float outline) {
    int size = static_cast<int>(std::lround(pixelSize * static_cast<float>(scale)));
    int stroke = static_cast<int>(std::lround(outline * static_cast<float>(scale)));
    TTF_Font* handle = open(font, size, stroke, scale == 1);
    SDL_Surface* rendered = TTF_RenderUTF8_Blended(handle, text.c_str(), SDL_Color{255, 255, 255, 255});
    if (!rendered) throw std::runtime_error("TTF_RenderUTF8_Blended(\"" + text + "\") failed: " + TTF_GetError());
    SDL_Surface* argb = SDL_ConvertSurfaceFormat(rendered, SDL_PIXELFORMAT_ARGB8888, 0);
    SDL_FreeSurface(rendered);
    if (!argb) throw std::runtime_error(std::string("SDL_ConvertSurfaceFormat failed: ") + SDL_GetError());

    TextMask result;
    result.scale = scale;
    result.originX = stroke;
    result.originY = stroke;
    result.mask.width = argb->w;
    result.mask.height = argb->h;
    result.mask.alpha.resize(static_cast<size_t>(argb->w) * argb->h);
    for (int y = 0; y < argb->h; ++y) {
        const auto* row =
            reinterpret_cast<const uint32_t*>(static_cast<const uint8_t*>(argb->pixels) + y * argb->pitch);
        for (int x = 0; x < argb->w; ++x)
            result.mask.alpha[static_cast<size_t>(y) * argb->w + x] = static_cast<float>(row[x] >> 24) / 255.0f;
    }
    SDL_FreeSurface(argb);
    return result;
}

float TextRenderer::width(const std::string& font, float pixelSize, int scale, const std::string& text) {
    int size = static_cast<int>(std::lround(pixelSize * static_cast<float>(scale)));
    int w = 0, h = 0;
    if (TTF_SizeUTF8(open(font, size, 0, scale == 1), text.c_str(), &w, &h) != 0)
        throw std::runtime_error(std::string("TTF_SizeUTF8 failed: ") + TTF_GetError());
    return static_cast<float>(w) / static_cast<float>(scale);
}

}  // namespace imagegen
