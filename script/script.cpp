#include "script.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "ascii.h"
#include "file_io.h"
#include "profile.h"

namespace tarvix {
namespace {

// Script lines are trimmed of spaces, tabs and line ends only.
std::string_view Trim(std::string_view s) { return ascii::Trim(s, ascii::IsBlankOrLineEnd<char>); }

using ascii::EqualsNoCase;

// A profile value cannot hold a line end: written as is, it would end the
// value and start a line of its own, an action line perhaps.
std::string SingleLine(std::string_view value) {
    std::string out(value);
    for (char& c : out)
        if (c == '\r' || c == '\n') c = ' ';
    return out;
}

void AppendKey(std::string& out, std::string_view key, std::string_view value) {
    out += key;
    out += '=';
    out += value;
    out += "\r\n";
}

void AppendKey(std::string& out, std::string_view key, long long value) {
    AppendKey(out, key, std::to_string(value));
}

// Names whose stem the system takes for a device, not a file.
bool IsDeviceStem(std::string_view base, int n) {
    if (n < 1 || n > 9) return false;
    return EqualsNoCase(base, "COM") || EqualsNoCase(base, "LPT");
}

// Long descriptions are cut so that folder and name stay within the path
// lengths the system's file functions accept.
constexpr size_t kMaxBaseBytes = 128;

constexpr int kMaxNameNumber = 1000000;

}  // namespace

CScript::CScript(Edition edition) : m_edition(edition) {}

CScript::~CScript() = default;

void CScript::SetProperties(std::string description, uint16_t beginHotkey, uint16_t beginHotkeyMod,
                            uint16_t repeatType, int32_t repeatNumber) {
    m_description = std::move(description);
    m_beginHotkey = beginHotkey;
    m_beginHotkeyMod = beginHotkeyMod;
    m_repeatType = repeatType;
    m_repeatNumber = repeatNumber;
}

bool CScript::AddActionFromLine(std::string_view line) {
    ScriptAction action;
    if (!ParseActionLine(line, m_edition, action)) return false;
    m_actions.push_back(std::move(action));
    return true;
}

void CScript::Load(const std::string& scriptFolder, const std::string& fileName) {
    std::string text;
    const bool readable = ReadWholeFile(PathInFolder(scriptFolder, fileName), text);
    LoadBytes(fileName, readable ? &text : nullptr);
}

void CScript::LoadBytes(const std::string& fileName, const std::string* bytes) {
    m_fileName = fileName;
    static const std::string kNothing;
    const bool readable = bytes != nullptr;
    const std::string& text = readable ? *bytes : kNothing;
    const ProfileDocument profile(text);

    m_enabled = profile.GetInt("General", "Enable", 1);
    m_description = profile.GetString("General", "Description", "");
    m_beginHotkey = static_cast<uint16_t>(profile.GetInt("General", "BeginHotkey", 123));
    m_beginHotkeyMod = static_cast<uint16_t>(profile.GetInt("General", "BeginHotkeyMod", 0));
    m_repeatType = static_cast<uint16_t>(profile.GetInt("Repeat", "Type", 0));
    m_repeatNumber = profile.GetInt("Repeat", "Number", 1);
    m_running->Clear();
    m_runOnce = TraitsOf(m_edition).hasRunOnce ? profile.GetInt("General", "RunOnce", 1) : 0;
    m_keptRunOnce.reset();
    if (!TraitsOf(m_edition).hasRunOnce && profile.HasKey("General", "RunOnce"))
        m_keptRunOnce = profile.GetInt("General", "RunOnce", 1);
    LoadSpeed(profile);
    m_unreadLineCount = 0;

    // Every list in memory ends with the end marker, also when the file could
    // not be read: the editor inserts in front of it.
    if (readable) {
        std::string_view rest(text);
        bool inScript = false;
        while (!rest.empty()) {
            const size_t end = rest.find('\n');
            const std::string_view raw = rest.substr(0, end);
            rest = end == std::string_view::npos ? std::string_view() : rest.substr(end + 1);
            const std::string_view line = Trim(raw);
            if (!inScript) {
                inScript = EqualsNoCase(line, "[Script]");
            } else if (!line.empty() && !AddActionFromLine(line)) {
                ++m_unreadLineCount;
            }
        }
    }
    m_actions.push_back(ScriptAction::EndMarker());
}

// A number out of range is taken as the nearest speed there is (however many
// digits it has); a value that is no number at all as no value.
uint32_t SpeedValue(std::string_view text) {
    while (!text.empty() && static_cast<unsigned char>(text.front()) <= ' ') text.remove_prefix(1);
    const bool negative = !text.empty() && text.front() == '-';
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) text.remove_prefix(1);
    int64_t percent = 0;
    size_t digits = 0;
    for (; digits < text.size() && text[digits] >= '0' && text[digits] <= '9'; ++digits)
        percent = std::min<int64_t>(percent * 10 + (text[digits] - '0'), kMaxSpeed + 1);
    if (digits == 0) return kNormalSpeed;
    return negative ? kMinSpeed : static_cast<uint32_t>(std::clamp<int64_t>(percent, kMinSpeed, kMaxSpeed));
}

void CScript::LoadSpeed(const ProfileDocument& profile) {
    m_speed = kNormalSpeed;
    m_keptSpeed.reset();
    if (!profile.HasKey("General", "Speed")) return;
    const uint32_t speed = SpeedValue(profile.GetString("General", "Speed", ""));
    if (TraitsOf(m_edition).hasSpeed)
        m_speed = speed;
    else
        m_keptSpeed = speed;
}

std::string CScript::SerializedText() const {
    std::string out;
    out += "[General]\r\n";
    AppendKey(out, "Description", SingleLine(m_description));
    AppendKey(out, "BeginHotkey", m_beginHotkey);
    AppendKey(out, "BeginHotkeyMod", m_beginHotkeyMod);
    if (TraitsOf(m_edition).hasRunOnce) {
        AppendKey(out, "RunOnce", m_runOnce);
    } else if (m_keptRunOnce) {
        // Back where edition 1.1 wrote it; a file that never had one gets none.
        AppendKey(out, "RunOnce", *m_keptRunOnce);
    }
    // The state the main list shows, so list and file stay in step.
    AppendKey(out, "Enable", m_enabled ? 1 : 0);
    if (TraitsOf(m_edition).hasSpeed) {
        // Files at the normal speed stay as every earlier version wrote them.
        if (m_speed != kNormalSpeed) AppendKey(out, "Speed", m_speed);
    } else if (m_keptSpeed) {
        AppendKey(out, "Speed", *m_keptSpeed);
    }
    out += "[Repeat]\r\n";
    AppendKey(out, "Type", m_repeatType);
    AppendKey(out, "Number", m_repeatNumber);
    if (TraitsOf(m_edition).blankLineBeforeScript) out += "\r\n";
    out += "[Script]\r\n";
    for (const ScriptAction& action : m_actions) {
        if (action.kind == KindEndMarker) continue;
        const std::string line = FormatActionLine(action, m_edition);
        if (line.empty()) continue;
        out += line;
        out += "\r\n";
    }
    return out;
}

bool CScript::Save(const std::string& scriptFolder) const {
    if (m_fileName.empty()) return false;
    return WriteFileAtomically(PathInFolder(scriptFolder, m_fileName), SerializedText());
}

int32_t LinesToConfirmBeforeSaving(const CScript& script) {
    return TraitsOf(script.edition()).asksBeforeDroppingUnreadLines ? script.m_unreadLineCount : 0;
}

std::string FileNameBase(std::string_view description) {
    if (description.empty()) return "NoName";
    static constexpr std::string_view kForbidden = "\\/:*?\"<>|";
    size_t i = 0;
    while (i < description.size()) {
        const unsigned char c = static_cast<unsigned char>(description[i]);
        if (IsBig5LeadByte(c)) {
            // A trail byte may equal "\" or "|"; it belongs to its character.
            // A lead byte without its trail is no character a name can hold.
            if (i + 1 >= description.size() || !IsBig5TrailByte(static_cast<unsigned char>(description[i + 1])))
                break;
            if (i + 2 > kMaxBaseBytes) break;
            i += 2;
            continue;
        }
        if (c < 0x20 || c >= 0x80 || kForbidden.find(static_cast<char>(c)) != std::string_view::npos) break;
        if (i + 1 > kMaxBaseBytes) break;
        ++i;
    }
    return std::string(description.substr(0, i));
}

void CScript::ChooseFileName(const std::string& scriptFolder) {
    const std::string base = FileNameBase(m_description);
    for (int n = 1; n <= kMaxNameNumber; ++n) {
        if (IsDeviceStem(base, n)) continue;
        std::string name = base + std::to_string(n) + ".txt";
        if (!CanOpenForReading(PathInFolder(scriptFolder, name))) {
            m_fileName = std::move(name);
            return;
        }
    }
    m_fileName.clear();  // Save refuses a record without a name
}

}  // namespace tarvix
