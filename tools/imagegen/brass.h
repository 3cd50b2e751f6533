// The brass look shared by the buttons, the banners and the clock plaque.
#pragma once

#include "tools/imagegen/canvas.h"
#include "tools/imagegen/shapes.h"
#include "tools/imagegen/text.h"

namespace imagegen {

// Polished brass along a ramp: t = 0 the lit top, 1 the shaded bottom.
// `bright` is the lit look of a hovered button.
Rgba brassAt(float t, bool bright);

// A rounded brass plate filling `plate`: a dark rim, a bevel lit from above,
// the body's gradient and a fine engraved line just inside the bevel.
void paintBrassPlate(Layer& layer, const RoundRect& plate, bool bright);

// A warm glow spreading `reach` pixels outward from the edge of `plate`
// (painted beneath the plate, for the hovered look).
void paintWarmGlow(Layer& layer, const RoundRect& plate, float reach, float strength);

// Text cut into brass: a dark fill with a light lip along its lower edge,
// the layout box's top-left at (x, y).
void paintEngraved(Layer& layer, const TextMask& text, float x, float y, bool bright);

}  // namespace imagegen
