#pragma once

#include <cstdint>
#include <list>
#include <memory>
#include <string>
#include <string_view>

#include "ansi.h"
#include "edition.h"
#include "run_flag.h"
#include "script_action.h"

namespace tarvix {

enum RepeatType : uint16_t {
    RepeatCount = 0,
    RepeatUntilStop = 1,
    RepeatSeconds = 2,
};

// One script in memory. Script files live in a script folder whose path ends
// in a separator ("...\script\" on Windows).
class CScript {
public:
    explicit CScript(Edition edition = Edition::V11);
    virtual ~CScript();

    void SetProperties(std::string description, uint16_t beginHotkey, uint16_t beginHotkeyMod,
                       uint16_t repeatType, int32_t repeatNumber);

    // Parses one trimmed action line and appends the action it names.
    void AddActionFromLine(std::string_view line);

    // Fills a freshly constructed record from scriptFolder + fileName.
    void Load(const std::string& scriptFolder, const std::string& fileName);

    // Replaces scriptFolder + m_fileName with the record's written layout.
    // Returns whether the file was written.
    bool Save(const std::string& scriptFolder) const;

    // The file's bytes exactly as Save writes them.
    std::string SerializedText() const;

    // Picks a free file name for a new script in scriptFolder.
    void ChooseFileName(const std::string& scriptFolder, LeadByteTest isLeadByte = IsBig5LeadByte);

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

private:
    Edition m_edition;
};

// The base of a new script's file name: the description cut at the first
// character a Windows file name cannot hold, "NoName" for an empty one.
std::string FileNameBase(std::string_view description, LeadByteTest isLeadByte);

}  // namespace tarvix
