// What the encoder page needs of the control surface: whether it is on screen, and the knob
// in a slot of its knob table. The main window wires both; unwired, there is no surface.
#pragma once

#include <functional>

namespace korv::controls {
class TKnob;
}

namespace korv::editor {

struct SurfaceKnobs {
    std::function<bool()> IsVisible;
    // The knob in slot 0..15 of the current build, or nullptr.
    std::function<controls::TKnob*(int slot)> KnobInSlot;

    // The knob in `slot` while the surface window is visible, else nullptr.
    controls::TKnob* VisibleKnob(int slot) const {
        if (!IsVisible || !KnobInSlot || !IsVisible())
            return nullptr;
        return KnobInSlot(slot);
    }
};

} // namespace korv::editor
