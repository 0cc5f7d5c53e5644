#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "ansi.h"
#include "edition.h"
#include "repeat_type.h"
#include "run_flag.h"
#include "script_action.h"
#include "speed.h"

namespace tarvix {

class ProfileDocument;

// One script in memory. Script files live in a script folder whose path ends
// in a separator ("...\script\" on Windows).
class CScript {
public:
    explicit CScript(Edition edition = Edition::V11);
    virtual ~CScript();

    void SetProperties(std::string description, uint16_t beginHotkey, uint16_t beginHotkeyMod,
                       uint16_t repeatType, int32_t repeatNumber);

    // Parses one trimmed action line and appends the action it names; false
    // when the line names no action of the record's edition.
    bool AddActionFromLine(std::string_view line);

    // Fills a freshly constructed record from scriptFolder + fileName.
    void Load(const std::string& scriptFolder, const std::string& fileName);
    // The same from the file's bytes read beforehand; null: the file could
    // not be read.
    void LoadBytes(const std::string& fileName, const std::string* bytes);

    // Replaces scriptFolder + m_fileName with the record's written layout.
    // Returns whether the file was written.
    bool Save(const std::string& scriptFolder) const;

    // The file's bytes exactly as Save writes them.
    std::string SerializedText() const;

    // Picks a free file name for a new script in scriptFolder.
    void ChooseFileName(const std::string& scriptFolder);

    Edition edition() const { return m_edition; }

    std::list<ScriptAction> m_actions;
    std::string m_fileName;
    int32_t m_enabled = 1;
    uint16_t m_beginHotkey = 0;
    uint16_t m_beginHotkeyMod = 0;
    std::string m_description;
    uint16_t m_repeatType = RepeatCount;
    int32_t m_repeatNumber = 0;
    std::shared_ptr<RunFlag> m_running = std::make_shared<RunFlag>();
    int32_t m_runOnce = 0;
    uint32_t m_speed = kNormalSpeed;  // percent, kMinSpeed to kMaxSpeed

    // What the loaded file held beyond the record. Edition 1.0 has no run-once
    // flag but keeps the RunOnce value of a file that had one and writes it
    // back, so edition 1.1 finds its setting again after a save in 1.0.
    std::optional<int32_t> m_keptRunOnce;
    // Likewise the Speed value, as edition 1.1 reads it: edition 1.0 plays at
    // the normal speed but does not take a 1.1 script's speed away.
    std::optional<uint32_t> m_keptSpeed;
    // Non-blank lines after "[Script]" that named no action of the edition (a
    // MoveR line read by edition 1.0, a line whose first word is no keyword).
    // The record cannot hold them, so a save leaves them out of the file.
    int32_t m_unreadLineCount = 0;

private:
    void LoadSpeed(const ProfileDocument& profile);

    Edition m_edition;
};

// How many lines of the script's file a save would leave out that the user is
// asked about first: edition 1.0 asks about the lines it could not read, most
// likely written by edition 1.1; edition 1.1 saves as it always has.
int32_t LinesToConfirmBeforeSaving(const CScript& script);

// The base of a new script's file name: the description (Big5) cut at the
// first character a Windows file name cannot hold, or at the first bytes that
// are no Big5 character; "NoName" for an empty one.
std::string FileNameBase(std::string_view description);

}  // namespace tarvix
