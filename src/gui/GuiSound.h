#pragma once
// Plays the GUI's sounds by name with the values declared for each sound. Tests may watch the
// names played.
#include "core/FixedString.h"

#include <functional>

namespace lv::gui {

class CGuiSound
{
public:
    using Observer = std::function<void(const char* name)>;

    // Nothing for an empty name.
    static void Play(const CFixedString& name);
    // Called with every name played; empty stops watching.
    static void SetObserver(Observer observer);
};

} // namespace lv::gui
