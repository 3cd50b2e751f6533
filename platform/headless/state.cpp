#include "platform/headless/headless_state.h"

namespace headless {

State& state() {
    static State theState;
    return theState;
}

void reset() {
    State& s = state();
    freeDisplayHandles(s);
    freeAudioHandles(s);
    freeInputHandles(s);
    s = State{};
}

}  // namespace headless
