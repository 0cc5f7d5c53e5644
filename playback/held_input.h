#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "playback_ports.h"

namespace tarvix {

// The keys, mouse buttons and typed characters a run has pressed and not yet
// released, in the order it pressed them. A run that is stopped lets go of
// them, last pressed first, so that it leaves no key or button down behind it.
class HeldInput {
public:
    void KeyDown(uint8_t vk, uint16_t scan);
    void KeyUp(uint8_t vk);
    void ButtonDown(MouseButton button);
    void ButtonUp(MouseButton button);
    void CharacterDown(const std::string& ch);
    void CharacterUp(const std::string& ch);

    bool HoldsKey(uint8_t vk) const;
    bool HoldsButton(MouseButton button) const;
    bool empty() const { return m_held.empty(); }

    // Sends the releases, last pressed first, and forgets them.
    void ReleaseAll(InputSink& input);

private:
    enum class Kind { Key, Button, Character };
    struct Press {
        Kind kind = Kind::Key;
        uint8_t vk = 0;
        uint16_t scan = 0;
        MouseButton button = MouseButton::Left;
        std::string ch;
    };

    // A second press of what is already down changes nothing: the system
    // keeps one state per key, and one release lets go of it.
    void Add(Press press);
    template <typename Match>
    void Remove(Match match);

    std::vector<Press> m_held;
};

}  // namespace tarvix
