#pragma once

#include <cstddef>

namespace tarvix {

// The two editions are built from one source. The Windows programs fix theirs
// at compile time; the portable code takes it as a value so one test binary
// covers both.
enum class Edition {
    V10,  // tarvix-classic.exe
    V11,  // tarvix.exe
};

// The form of the notification-area record the shell is handed.
enum class TrayRecordForm {
    Oldest,   // the first form, with a 64-byte tip
    LongTip,  // the form with a 128-byte tip
};

// Two column widths of a list, in pixels, left to right.
struct ColumnWidths2 {
    int first;
    int second;
};

// Everything in which the editions differ, apart from their texts and
// layouts: those are the resource script each program is built with
// (res/tarvix.rc, res/classic.rc), under the same string and control ids.
// Core and user interface read these; nothing else asks which edition runs.
struct EditionTraits {
    Edition edition;
    const char* version;  // as the about box shows it
    // The relative pointer move: its kind in the kind numbering, its keyword
    // in files and its panel in the editor.
    bool hasMoveR;
    // The middle and side buttons and the two wheels as actions.
    bool hasExtraButtons;
    // The pointer move to a point of the window in front (MoveIn).
    bool hasMoveIn;
    // The flag that keeps a running script from being started again: the
    // RunOnce key, the editor's check box and the running bookkeeping.
    bool hasRunOnce;
    // The empty line a script file holds before its [Script] section.
    bool blankLineBeforeScript;
    // The web page panel at the bottom of the main window, with its probe and
    // OLE; without it the bottom holds the link banner.
    bool hasAdPanel;
    // The label over the target-window list, enabled with the list.
    bool hasWindowListLabel;
    // The editor's action rows coloured by kind, drawn by the editor.
    bool ownerDrawnActionRows;
    // Capture keys: Alt+Ctrl with the keypad digits rather than the digit row.
    bool capturesOnKeypad;
    // The script folder is made at start-up when it is missing.
    bool createsScriptFolder;
    // The editor asks before a save leaves out action lines the edition
    // could not read (another edition's kinds).
    bool asksBeforeDroppingUnreadLines;
    // The editor's 錄製… button: a script recorded from what the user does.
    bool recordsInput;
    // The script's playback speed: the Speed key and the editor's field.
    bool hasSpeed;
    TrayRecordForm trayRecord;
    ColumnWidths2 actionListColumns;  // the editor's "動作" and "次數"
};

// The main window's script list: hotkey, valid mark, description, file name.
// The same in both editions.
inline constexpr int kScriptListColumnWidths[4] = {140, 60, 280, 110};

// One row per edition, in the order of the enumeration.
inline constexpr EditionTraits kEditionTraits[] = {
    {
        Edition::V10,
        "1.0",
        /*hasMoveR=*/false,
        /*hasExtraButtons=*/false,
        /*hasMoveIn=*/false,
        /*hasRunOnce=*/false,
        /*blankLineBeforeScript=*/false,
        /*hasAdPanel=*/false,
        /*hasWindowListLabel=*/false,
        /*ownerDrawnActionRows=*/false,
        /*capturesOnKeypad=*/true,
        /*createsScriptFolder=*/false,
        /*asksBeforeDroppingUnreadLines=*/true,
        /*recordsInput=*/false,
        /*hasSpeed=*/false,
        TrayRecordForm::Oldest,
        {140, 65},
    },
    {
        Edition::V11,
        "1.1",
        /*hasMoveR=*/true,
        /*hasExtraButtons=*/true,
        /*hasMoveIn=*/true,
        /*hasRunOnce=*/true,
        /*blankLineBeforeScript=*/true,
        /*hasAdPanel=*/true,
        /*hasWindowListLabel=*/true,
        /*ownerDrawnActionRows=*/true,
        /*capturesOnKeypad=*/false,
        /*createsScriptFolder=*/true,
        /*asksBeforeDroppingUnreadLines=*/false,
        /*recordsInput=*/true,
        /*hasSpeed=*/true,
        TrayRecordForm::LongTip,
        {170, 39},
    },
};

// Both editions, for code and tests that go through each.
inline constexpr Edition kEditions[] = {Edition::V10, Edition::V11};

constexpr size_t EditionIndex(Edition edition) { return static_cast<size_t>(edition); }

constexpr const EditionTraits& TraitsOf(Edition edition) { return kEditionTraits[EditionIndex(edition)]; }

static_assert(TraitsOf(Edition::V10).edition == Edition::V10 && TraitsOf(Edition::V11).edition == Edition::V11,
              "the table's rows follow the enumeration");

}  // namespace tarvix
