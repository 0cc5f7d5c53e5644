#include "held_input.h"

#include <algorithm>

namespace tarvix {

template <typename Match>
void HeldInput::Remove(Match match) {
    m_held.erase(std::remove_if(m_held.begin(), m_held.end(), match), m_held.end());
}

void HeldInput::Add(Press press) {
    for (const Press& held : m_held)
        if (held.kind == press.kind && held.vk == press.vk && held.button == press.button && held.ch == press.ch)
            return;
    m_held.push_back(std::move(press));
}

void HeldInput::KeyDown(uint8_t vk, uint16_t scan) {
    Press press;
    press.kind = Kind::Key;
    press.vk = vk;
    press.scan = scan;
    Add(std::move(press));
}

void HeldInput::KeyUp(uint8_t vk) {
    Remove([vk](const Press& p) { return p.kind == Kind::Key && p.vk == vk; });
}

void HeldInput::ButtonDown(MouseButton button) {
    Press press;
    press.kind = Kind::Button;
    press.button = button;
    Add(std::move(press));
}

void HeldInput::ButtonUp(MouseButton button) {
    Remove([button](const Press& p) { return p.kind == Kind::Button && p.button == button; });
}

void HeldInput::CharacterDown(const std::string& ch) {
    Press press;
    press.kind = Kind::Character;
    press.ch = ch;
    Add(std::move(press));
}

void HeldInput::CharacterUp(const std::string& ch) {
    Remove([&ch](const Press& p) { return p.kind == Kind::Character && p.ch == ch; });
}

bool HeldInput::HoldsKey(uint8_t vk) const {
    return std::any_of(m_held.begin(), m_held.end(),
                       [vk](const Press& p) { return p.kind == Kind::Key && p.vk == vk; });
}

bool HeldInput::HoldsButton(MouseButton button) const {
    return std::any_of(m_held.begin(), m_held.end(),
                       [button](const Press& p) { return p.kind == Kind::Button && p.button == button; });
}

void HeldInput::ReleaseAll(InputSink& input) {
    for (auto press = m_held.rbegin(); press != m_held.rend(); ++press) {
        switch (press->kind) {
            case Kind::Key: input.Key(press->vk, press->scan, true); break;
            case Kind::Button: input.Button(press->button, true); break;
            case Kind::Character: input.Character(press->ch, true); break;
        }
    }
    m_held.clear();
}

}  // namespace tarvix
