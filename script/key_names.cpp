#include "key_names.h"

#include <cstdio>

#include "ascii.h"

namespace tarvix {

const std::string& KeyNameTable() {
    // Code lines are "0x%x" so a search for "0x%x\n" always meets a whole
    // code line: name lines never hold "0x".
    static const std::string table =
        "0x14\n<CapsLock>\n"
        "0x10\n<Shift>\n"
        "0x11\n<Ctrl>\n"
        "0x12\n<Alt>\n"
        "0x5b\n<Win>\n"
        "0x5c\n<Win>\n"
        "0x26\n<Up>\n"
        "0x28\n<Down>\n"
        "0x25\n<Left>\n"
        "0x27\n<Right>\n"
        "0x2d\n<Insert>\n"
        "0x24\n<Home>\n"
        "0x21\n<PageUp>\n"
        "0x2e\n<Delete>\n"
        "0x23\n<End>\n"
        "0x22\n<PageDown>\n"
        "0x8\n<BackSpace>\n"
        "0xd\n<Enter>\n"
        "0x5d\n<Right Mouse>\n"
        "0x20\n<Space>\n"
        "0x9\n<Tab>\n"
        "0x1b\n<Esc>\n"
        "0x70\n<F1>\n"
        "0x71\n<F2>\n"
        "0x72\n<F3>\n"
        "0x73\n<F4>\n"
        "0x74\n<F5>\n"
        "0x75\n<F6>\n"
        "0x76\n<F7>\n"
        "0x77\n<F8>\n"
        "0x78\n<F9>\n"
        "0x79\n<F10>\n"
        "0x7a\n<F11>\n"
        "0x7b\n<F12>\n"
        "0x91\n<Scroll Lock>\n"
        "0x13\n<Pause/Break>\n"
        "0x90\n<Num Lock>\n"
        "0x6f\n<Num />\n"
        "0x6a\n<Num *>\n"
        "0x6d\n<Num ->\n"
        "0x6b\n<Num +>\n"
        "0xbd\n-\n"
        "0xbb\n=\n"
        "0xdc\n\\\n"
        "0xdb\n[\n"
        "0xdd\n]\n"
        "0xba\n;\n"
        "0xde\n'\n"
        "0xbc\n,\n"
        "0xbe\n.\n"
        "0xbf\n/\n"
        "0xc0\n`\n"
        "0x67\n<Num 7>\n"
        "0x68\n<Num 8>\n"
        "0x69\n<Num 9>\n"
        "0x64\n<Num 4>\n"
        "0x65\n<Num 5>\n"
        "0x66\n<Num 6>\n"
        "0x61\n<Num 1>\n"
        "0x62\n<Num 2>\n"
        "0x63\n<Num 3>\n"
        "0x60\n<Num 0>\n"
        "0x6e\n<Num .>\n";
    return table;
}

std::string KeyName(int32_t code) {
    const unsigned k = static_cast<uint32_t>(code) & 0xFFFFu;
    char search[16];
    std::snprintf(search, sizeof search, "0x%x\n", k);

    const std::string& table = KeyNameTable();
    const size_t found = table.find(search);
    if (found != std::string::npos) {
        const size_t nameBegin = found + std::char_traits<char>::length(search);
        const size_t nameEnd = table.find('\n', nameBegin);
        return table.substr(nameBegin, nameEnd - nameBegin);
    }

    // The right Ctrl and Alt a recording keeps: their codes are Big5 lead
    // bytes, which as characters would swallow the closing bracket.
    if (k == 0xA3) return "<Right Ctrl>";
    if (k == 0xA5) return "<Right Alt>";

    // Unnamed keys show the character of their code, upper-cased (only a to z
    // change), as its low byte. Code 0 would give an embedded NUL; no key has
    // that code, so it shows as empty brackets.
    if (k == 0) return "<>";
    const unsigned upper = ascii::Upper(k);
    const char c = static_cast<char>(upper & 0xFFu);
    std::string name = "<";
    name += static_cast<char>(c);
    name += '>';
    return name;
}

std::string HotkeyText(uint16_t vk, uint16_t mods) {
    std::string text;
    if (mods & ModCtrl) text += "Ctrl+";
    if (mods & ModAlt) text += "Alt+";
    if (mods & ModShift) text += "Shift+";
    text += KeyName(vk);
    return text;
}

}  // namespace tarvix
