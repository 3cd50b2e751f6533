#include "platform/sdl/presenter.h"

namespace sdlbackend {

Presenter::Presenter(const SDL_PixelFormat* format, int32_t targetWidth, int32_t targetHeight, uint16_t* shadowStorage)
    : scaler_(targetWidth, targetHeight), tracker_(shadowStorage) {
    buildColourTable(format, &colourTable_);
}

Push Presenter::present(const uint16_t* picture, const PixelTarget& target, std::vector<WindowRect>* rects,
                        const uint8_t* hints) {
    rects->clear();
    if (target.width != scaler_.targetWidth() || target.height != scaler_.targetHeight()) {
        scaler_ = Scaler(target.width, target.height);
        redraw_ = true;
    }
    if (redraw_) {
        // Black RGB565 maps to the target's black: that paints the bars.
        Scaler::fill(target, colourTable_[0]);
        tracker_.invalidate();
        redraw_ = false;
        pushAll_ = true;
    }
    for (const PictureRect& changed : tracker_.update(picture, hints)) {
        scaler_.scale(picture, changed, colourTable_.data(), target);
        if (!pushAll_) {
            WindowRect out = scaler_.windowRectOf(changed);
            if (out.w > 0 && out.h > 0) rects->push_back(out);
        }
    }
    if (pushAll_) {
        pushAll_ = false;
        return Push::ALL;
    }
    return rects->empty() ? Push::NOTHING : Push::RECTS;
}

}  // namespace sdlbackend
