// What a recording keeps of the reported input, the actions it becomes, and
// the proof of both: the actions played on a virtual clock give back the
// recorded events, in order, at the recorded gaps.
#include <gtest/gtest.h>

#include <tuple>

#include "input_recorder.h"
#include "record_conversion.h"
#include "recording.h"
#include "test_support.h"

namespace tarvix {
namespace {

using K = InputKind;
using Texts = std::vector<std::string>;
constexpr uint8_t kA = 0x41, kB = 0x42, kC = 0x43, kLCtrl = 0xA2, kLShift = 0xA0;
const Hotkey kCtrlShiftA{kA, 3};

RecordedInput Mouse(K kind, int32_t x, int32_t y, uint64_t ms, int16_t wheel = 0) {
    return {kind, 0, 0, false, false, x, y, wheel, ms * 1000};
}
RecordedInput Move(int32_t x, int32_t y, uint64_t ms) { return Mouse(K::Move, x, y, ms); }
RecordedInput Origin(int32_t x, int32_t y, uint64_t ms) { return Mouse(K::WindowOrigin, x, y, ms); }
RecordedInput Key(K kind, uint8_t vk, uint64_t ms) { return {kind, vk, 0, false, false, 0, 0, 0, ms * 1000}; }
RecordedInput Dn(uint8_t vk, uint64_t ms) { return Key(K::KeyDown, vk, ms); }
RecordedInput Up(uint8_t vk, uint64_t ms) { return Key(K::KeyUp, vk, ms); }

bool IsKey(const RecordedInput& e) { return e.kind == K::KeyDown || e.kind == K::KeyUp; }

// An event as the player's log names it: keys by the code a script plays.
std::string Describe(const RecordedInput& e) {
    static const char* const names[] = {"down", "up", "left down", "left up", "right down", "right up",
                                        "move", "middle down", "middle up", "x1 down", "x1 up", "x2 down",
                                        "x2 up", "wheel", "hwheel", "other", "missed", "in"};
    const std::string name = names[static_cast<int>(e.kind)];
    if (IsKey(e)) return "key " + std::to_string(ScriptKeyOf(e.vk)) + " " + name;
    return hook::IsWheel(e.kind) ? name + " " + std::to_string(e.wheel) : name;
}

// With the place of each pointer event and the millisecond of each event.
Texts Shown(const std::vector<RecordedInput>& events) {
    Texts shown;
    for (const RecordedInput& e : events)
        shown.push_back(Describe(e) + (IsKey(e) ? "" : " " + std::to_string(e.x) + "," + std::to_string(e.y)) + " " +
                        std::to_string(e.timeUs / 1000));
    return shown;
}

std::vector<RecordedInput> Record(const std::vector<RecordedInput>& input, std::vector<uint8_t> downAtStart = {},
                                  bool path = true) {
    Recording recording(kCtrlShiftA, downAtStart, path);
    for (const RecordedInput& e : input) recording.Add(e);
    return recording.Finish();
}

// Options: T the timing kept, P the pointer path, W places in the window in front.
std::string Convert(const std::vector<RecordedInput>& events, const std::string& options) {
    RecordOptions o;
    o.keepTiming = options.find('T') != std::string::npos;
    o.mousePath = options.find('P') != std::string::npos;
    o.windowRelative = options.find('W') != std::string::npos;
    std::string text;
    for (const ScriptAction& a : ConvertRecording(events, o)) text += FormatActionLine(a, Edition::V11) + "\n";
    return text;
}

// Plays the actions on the virtual clock: each key or button event with the
// pointer's place, and the millisecond it was played at.
std::vector<std::pair<std::string, uint32_t>> Replay(const std::vector<ScriptAction>& actions,
                                                     std::optional<DesktopPoint> windowInFront = {}) {
    testing::Recorder player;
    player.clientOrigin = windowInFront;
    PlaybackJob job;
    job.steps = actions;
    job.steps.push_back(ScriptAction::EndMarker());
    PlaybackPorts ports = player.Ports();
    PlayJob(job, ports);
    std::vector<std::pair<std::string, uint32_t>> out;
    std::string place = "nowhere";
    for (const std::string& line : player.events) {
        const auto at = static_cast<uint32_t>(std::stoul(line));
        std::string what = line.substr(line.find(' ') + 1);
        if (what.rfind("move ", 0) == 0)
            place = what.substr(5);
        else if (what.rfind("key ", 0) == 0)  // without the scan code
            out.emplace_back(what.erase(what.find('/'), what.rfind(' ') - what.find('/')), at);
        else
            out.emplace_back(what + " " + place, at);
    }
    return out;
}

// --- What a recording keeps ---

// Keys held down as it starts, the input, what is kept (Ctrl+Shift+A stops).
TEST(Recording, KeepsTheWorkAndLeavesOutWhatWasHeldBeforeAndTheStopChord) {
    const std::tuple<const char*, std::vector<uint8_t>, std::vector<RecordedInput>, Texts> cases[] = {
        {"auto-repeats are one key-down", {}, {Dn(kB, 0), Dn(kB, 500), Dn(kB, 530), Up(kB, 560)},
         {"key 66 down 0", "key 66 up 560"}},
        {"a key held at the start is left out until pressed again", {kB},
         {Dn(kB, 0), Up(kB, 10), Dn(kC, 20), Up(kC, 30), Dn(kB, 40), Up(kB, 50)},
         {"key 67 down 20", "key 67 up 30", "key 66 down 40", "key 66 up 50"}},
        {"the release of a button pressed before the start is left out", {},
         {Mouse(K::LeftUp, 5, 5, 0), Mouse(K::LeftDown, 9, 9, 10), Mouse(K::LeftUp, 9, 9, 20)},
         {"left down 9,9 10", "left up 9,9 20"}},
        {"the stop key with other modifiers is work", {}, {Dn(kLCtrl, 0), Dn(kA, 10), Up(kA, 20), Up(kLCtrl, 30)},
         {"key 17 down 0", "key 65 down 10", "key 65 up 20", "key 17 up 30"}},
        // Ctrl+C, then Shift+A with Ctrl still down: the Ctrl press was part
        // of the work, released at the stop; only Shift and A were the stop.
        {"a modifier held through the work", {}, {Dn(kLCtrl, 0), Dn(kC, 10), Up(kC, 20), Dn(kLShift, 100), Dn(kA, 110)},
         {"key 17 down 0", "key 67 down 10", "key 67 up 20", "key 17 up 110"}},
        // Another key let go of while the chord forms does not keep the
        // chord's first modifier (a lone Alt would open a menu every pass);
        // held through another key's press, or a button's release, it was work.
        {"a release while the chord forms", {},
         {Dn(kB, 0), Dn(kLCtrl, 10), Up(kB, 20), Dn(kLShift, 30), Move(5, 5, 35), Dn(kLShift, 38), Dn(kA, 40)},
         {"key 66 down 0", "key 66 up 20", "move 5,5 35"}},
        {"a button let go while it is held", {},
         {Mouse(K::LeftDown, 1, 1, 0), Dn(kLCtrl, 10), Mouse(K::LeftUp, 1, 1, 20), Dn(kLShift, 30), Dn(kA, 40)},
         {"left down 1,1 0", "key 17 down 10", "left up 1,1 20", "key 17 up 40"}},
        {"only the chord's own presses are left out, not an earlier one of its keys", {},
         {Dn(kLCtrl, 0), Up(kLCtrl, 50), Dn(kLCtrl, 100), Dn(kLShift, 120), Dn(kA, 140)},
         {"key 17 down 0", "key 17 up 50"}},
        // Last pressed, first released: a Ctrl-drag drops its copy before Ctrl goes up.
        {"what is still held is released at the end", {},
         {Dn(kB, 0), Mouse(K::RightDown, 7, 8, 5), Dn(kLCtrl, 10), Mouse(K::LeftDown, 20, 30, 20), Up(kB, 40),
          Dn(kLShift, 60), Dn(kA, 70)},
         {"key 66 down 0", "right down 7,8 5", "key 17 down 10", "left down 20,30 20", "key 66 up 40",
          "left up 20,30 70", "key 17 up 70", "right up 20,30 70"}},
        {"what the hooks missed leaves nothing held", {}, {Dn(kB, 0), Mouse(K::Missed, 0, 0, 900), Dn(kC, 1000)},
         {"key 66 down 0", "key 67 down 1000", "key 67 up 1000", "key 66 up 1000"}},
        // The key state names Shift, Ctrl and Alt by both codes; the hook
        // reports only the sided ones, so the generic one would never come up
        // again. Once stopped, a recording takes nothing more.
        {"the chord of modifiers held since the start", {kLCtrl, kLShift}, {Dn(kA, 10), Dn(kC, 20)}, {}},
        {"Alt held as it starts and let go", {0x12, 0xA4},
         {Dn(0xA4, 0), Up(0xA4, 50), Dn(kLCtrl, 100), Dn(kLShift, 110), Dn(kA, 120), Dn(kC, 130)}, {}},
        {"Alt still held: Alt+Ctrl+Shift+A is not the chord", {0x12, 0xA4},
         {Dn(kLCtrl, 100), Dn(kLShift, 110), Dn(kA, 120)},
         {"key 17 down 100", "key 16 down 110", "key 65 down 120", "key 65 up 120", "key 16 up 120", "key 17 up 120"}},
        {"Ctrl held as it starts and let go: Shift+A is only Shift+A", {0x11, kLCtrl},
         {Up(kLCtrl, 50), Dn(kLShift, 110), Dn(kA, 120)},
         {"key 16 down 110", "key 65 down 120", "key 65 up 120", "key 16 up 120"}},
        // The pointer's path: its changes, at most one per 10 ms, a sample
        // that waits kept once its time is up (3,1 is replaced by 4,1; 5,1
        // comes 19 ms after 4,1; exactly 10 ms after the last is kept at once).
        {"a path", {}, {Move(1, 1, 0), Move(2, 1, 3), Move(3, 1, 6), Move(4, 1, 12), Move(4, 1, 30), Move(5, 1, 31)},
         {"move 1,1 0", "move 4,1 12", "move 5,1 31"}},
        {"a waiting sample", {}, {Move(1, 1, 0), Move(9, 9, 4), Dn(kB, 40)},
         {"move 1,1 0", "move 9,9 10", "key 66 down 40", "key 66 up 40"}},
        {"a sample 10 ms on", {}, {Move(1, 1, 0), Move(2, 1, 10), Move(3, 1, 12), Dn(kB, 40)},
         {"move 1,1 0", "move 2,1 10", "move 3,1 20", "key 66 down 40", "key 66 up 40"}},
        // Each pointer event kept goes after the window origin it happened
        // with, when that is not the one kept last; a waiting path sample
        // keeps the origin of its own moment; origins are neither positions
        // nor keys of the chord.
        {"window origins", {},
         {Origin(300, 200, 0), Move(310, 220, 0), Move(320, 220, 20), Origin(-1024, -768, 22), Move(-1000, -700, 25),
          Origin(0, 0, 28), Dn(kB, 40), Mouse(K::LeftDown, 7, 8, 50), Dn(kLCtrl, 60), Dn(kLShift, 61),
          Origin(5, 5, 62), Move(9, 9, 62), Dn(kA, 63)},
         {"in 300,200 0", "move 310,220 0", "move 320,220 20", "in -1024,-768 30", "move -1000,-700 30",
          "key 66 down 40", "in 0,0 50", "left down 7,8 50", "in 5,5 62", "move 9,9 62", "left up 9,9 63",
          "key 66 up 63"}},
    };
    for (const auto& [what, heldAtStart, input, kept] : cases)
        EXPECT_EQ(Shown(Record(input, heldAtStart)), kept) << what;
    EXPECT_TRUE(Record({Move(1, 1, 0), Move(50, 50, 20)}, {}, false).empty()) << "no path asked for";
}

// A side button beyond the second is counted, to be told; input the hooks
// missed is told.
TEST(Recording, MiddleAndSideButtonsAndWheelsAreKeptOtherSideButtonsCountedMissedInputTold) {
    Recording recording(kCtrlShiftA, {}, false);
    recording.Add(Mouse(K::MiddleUp, 0, 0, 0));  // pressed before the start
    for (K kind : {K::MiddleDown, K::MiddleUp, K::X2Down, K::X1Down, K::X1Up, K::X2Up})
        recording.Add(Mouse(kind, 1, 2, 10));
    // The horizontal turn of 0 has nothing to play.
    for (const RecordedInput& e : {Mouse(K::Wheel, 1, 2, 20, -120), Mouse(K::HWheel, 1, 2, 25, 0),
                                   Mouse(K::HWheel, 1, 2, 30, 40), Mouse(K::OtherSideButton, 1, 2, 40)})
        recording.Add(e);
    EXPECT_EQ(recording.leftOut().Total(), 1u);
    EXPECT_FALSE(recording.inputMissed());
    recording.Add(Mouse(K::Missed, 0, 0, 50));
    EXPECT_TRUE(recording.inputMissed());
    EXPECT_EQ(Shown(recording.Finish()), (Texts{"middle down 1,2 10", "middle up 1,2 10", "x2 down 1,2 10",
                                                "x1 down 1,2 10", "x1 up 1,2 10", "x2 up 1,2 10",
                                                "wheel -120 1,2 20", "hwheel 40 1,2 30"}));
}

// The hook may have reported the click's press, its press and release, or
// neither when the icon hears of it; the user's own last click stays.
TEST(Recording, ClickOnTheIconStopsItWithoutTheClick) {
    const RecordedInput down = Mouse(K::LeftDown, 1013, 757, 400), up = Mouse(K::LeftUp, 1014, 757, 410);
    const std::pair<std::vector<RecordedInput>, uint64_t> cases[] = {{{down}, 400}, {{down, up}, 400}, {{}, 300}};
    for (const auto& [icon, endMs] : cases) {
        Recording recording(kCtrlShiftA, {}, true);
        for (const RecordedInput& e : {Dn(kLCtrl, 0), Mouse(K::LeftDown, 5, 5, 10), Mouse(K::LeftUp, 5, 5, 20),
                                       Move(1013, 757, 300)})
            recording.Add(e);
        for (const RecordedInput& e : icon) recording.Add(e);
        recording.StopByIconClick(1015, 758);
        EXPECT_EQ(recording.Add(up), Recording::Outcome::Stopped);
        EXPECT_EQ(Shown(recording.Finish()), (Texts{"key 17 down 0", "left down 5,5 10", "left up 5,5 20",
                                                    "move 1013,757 300", "key 17 up " + std::to_string(endMs)}));
    }
}

TEST(Recording, StopsByItselfWhenFullKeepingWhatItHas) {
    Recording recording(kCtrlShiftA, {}, false);
    size_t added = 0;
    while (recording.Add(Key(added % 2 ? K::KeyUp : K::KeyDown, kB, added)) == Recording::Outcome::Going) ++added;
    EXPECT_EQ(recording.outcome(), Recording::Outcome::Full);
    EXPECT_EQ(added + 1, Recording::kMaxEvents);
    EXPECT_EQ(recording.Finish().size(), Recording::kMaxEvents);
}

// --- What it becomes ---

TEST(RecordConversion, LinesOfEachKindOfInput) {
    // Clicks on monitors left of and above the primary, and right of it.
    const std::vector<RecordedInput> onThreeMonitors = {
        Origin(-1024, -768, 0), Mouse(K::LeftDown, -1000, -700, 0), Mouse(K::LeftUp, -1000, -700, 50),
        Origin(1920, 0, 300),   Mouse(K::RightDown, 1930, 10, 300),  Mouse(K::RightUp, 1930, 10, 400),
        Origin(1900, 0, 500),   Mouse(K::LeftDown, 1930, 10, 500),   Mouse(K::LeftUp, 1930, 10, 510)};
    const std::vector<RecordedInput> wheels = {
        Mouse(K::MiddleDown, 5, 5, 0),   Mouse(K::MiddleUp, 5, 5, 50),    Mouse(K::X1Down, 5, 5, 100),
        Mouse(K::X1Up, 5, 5, 150),       Mouse(K::X2Down, 5, 5, 200),     Mouse(K::X2Up, 5, 5, 500),
        Mouse(K::Wheel, 5, 5, 600, -120), Mouse(K::Wheel, 5, 5, 610, -120), Mouse(K::Wheel, 5, 5, 620, -40),
        Mouse(K::Wheel, 5, 5, 700, 120),  Mouse(K::HWheel, 5, 5, 800, 120), Mouse(K::Wheel, 6, 5, 900, 120),
        Mouse(K::Wheel, 6, 5, 950, 32767)};
    // Presses 1.4 ms apart: 12.6 ms in all, never more than half a millisecond off.
    std::vector<RecordedInput> quick;
    for (uint8_t i = 0; i < 10; ++i)
        quick.push_back({K::KeyDown, static_cast<uint8_t>(kA + i), 0, false, false, 0, 0, 0, i * 1400u});
    // Two left clicks, the second at x, y after ms.
    const auto twoClicks = [](int32_t x, int32_t y, uint64_t ms) {
        return std::vector<RecordedInput>{Mouse(K::LeftDown, 50, 60, 0), Mouse(K::LeftUp, 50, 60, 80),
                                          Mouse(K::LeftDown, x, y, ms), Mouse(K::LeftUp, x, y, ms + 80)};
    };
    const std::tuple<const char*, const char*, std::vector<RecordedInput>, const char*> cases[] = {
        {"sub-millisecond gaps carry their rounding", "T", quick, "KeyDown 65 1\nDelay 1\nKeyDown 66 1\nDelay 2\nKeyDown 67 1\nDelay 1\n"
         "KeyDown 68 1\nDelay 2\nKeyDown 69 1\nDelay 1\nKeyDown 70 1\nDelay 1\nKeyDown 71 1\nDelay 2\nKeyDown 72 1\n"
         "Delay 1\nKeyDown 73 1\nDelay 2\nKeyDown 74 1\n"},
        {"a hold near the player's own is one press", "T", {Dn(kB, 0), Up(kB, 52), Dn(kC, 152), Up(kC, 200)},
         "KeyPress 66 1\nDelay 100\nKeyPress 67 1\n"},
        {"3 ms off the player's 50 ms is still one", "T", {Dn(kB, 0), Up(kB, 53)}, "KeyPress 66 1\n"},
        {"right Ctrl, right Alt (AltGr) and keypad keys stay themselves, left Ctrl is Ctrl", "T",
         {Dn(0xA3, 0), Dn(0xA5, 10), Dn(0x64, 20), Up(0x64, 70), Dn(kLCtrl, 80), Up(kLCtrl, 130), Up(0xA5, 140),
          Up(0xA3, 150)},
         "KeyDown 163 1\nDelay 10\nKeyDown 165 1\nDelay 10\nKeyPress 100 1\nDelay 10\nKeyPress 17 1\n"
         "Delay 10\nKeyUp 165 1\nDelay 10\nKeyUp 163 1\n"},
        {"compact keys, chords and overlaps", "",
         {Dn(kLCtrl, 0), Dn(kC, 20), Up(kC, 70), Up(kLCtrl, 90), Dn(kA, 200), Dn(kB, 230), Up(kA, 260), Up(kB, 290)},
         "KeyDown 17 1\nKeyPress 67 1\nKeyUp 17 1\nKeyDown 65 1\nKeyDown 66 1\nKeyUp 65 1\nKeyUp 66 1\n"},
        {"compact repeated presses are one press with a count", "",
         {Dn(kB, 0), Up(kB, 10), Dn(kB, 400), Up(kB, 410), Dn(kB, 900), Up(kB, 1500), Dn(kC, 1600), Up(kC, 1610),
          Dn(kB, 1700), Up(kB, 1710)},
         "KeyPress 66 3\nKeyPress 67 1\nKeyPress 66 1\n"},
        {"a double click", "", twoClicks(51, 60, 300), "MoveTo 50 60\nLeftDoubleClick 1\n"},
        {"the second click exactly at the double-click time", "", twoClicks(50, 60, 500),
         "MoveTo 50 60\nLeftDoubleClick 1\n"},
        {"3 pixels off is outside a spot 4 pixels wide", "", twoClicks(53, 60, 200),
         "MoveTo 50 60\nLeftClick 1\nMoveTo 53 60\nLeftClick 1\n"},
        {"another row is a move", "", twoClicks(50, 90, 900), "MoveTo 50 60\nLeftClick 1\nMoveTo 50 90\nLeftClick 1\n"},
        {"a right button let go elsewhere is a drag", "", {Mouse(K::RightDown, 5, 5, 0), Mouse(K::RightUp, 9, 9, 50)},
         "MoveTo 5 5\nRightDown 1\nMoveTo 9 9\nRightUp 1\n"},
        {"compact path samples have no delays", "P",
         {Move(5, 5, 0), Move(6, 7, 20), Mouse(K::RightDown, 6, 7, 40), Mouse(K::RightUp, 6, 7, 45), Dn(kB, 50),
          Move(9, 9, 60), Up(kB, 70)},
         "MoveTo 5 5\nMoveTo 6 7\nRightClick 1\nKeyDown 66 1\nMoveTo 9 9\nKeyUp 66 1\n"},
        // The same Delays, every place a MoveIn from the client corner of the
        // window then in front, a new MoveIn where only the window changed.
        {"places in the window in front", "TW", onThreeMonitors, "MoveIn 24 68\nLeftClick 1\nDelay 250\nMoveIn 10 10\n"
         "RightDown 1\nDelay 100\nRightUp 1\nDelay 100\nMoveIn 30 10\nLeftDown 1\nDelay 10\nLeftUp 1\n"},
        {"a double click in a window that moved is still one", "W",
         {Origin(100, 100, 0), Mouse(K::LeftDown, 150, 150, 0), Mouse(K::LeftUp, 150, 150, 80), Origin(120, 90, 100),
          Mouse(K::LeftDown, 151, 150, 300), Mouse(K::LeftUp, 151, 150, 380)},
         "MoveIn 50 50\nLeftDoubleClick 1\n"},
        // With the timing kept, a line per turn; without, one per scroll:
        // the same wheel, the same way, at the same spot, while the line's
        // number holds it.
        {"wheels timed", "T",
         {Mouse(K::Wheel, 5, 5, 600, -120), Mouse(K::Wheel, 5, 5, 610, -120), Mouse(K::X2Up, 5, 5, 700)},
         "MoveTo 5 5\nWheel -120\nDelay 10\nWheel -120\nDelay 90\nX2Up 1\n"},
        {"middle and side buttons and wheels compact", "", wheels,
         "MoveTo 5 5\nMiddleClick 1\nX1Click 1\nX2Click 1\nWheel -280\nWheel 120\nHWheel 120\nMoveTo 6 5\n"
         "Wheel 32887\n"},
        {"a scroll beyond a line's number", "", std::vector<RecordedInput>(65539, Mouse(K::Wheel, 0, 0, 0, 32767)),
         "MoveTo 0 0\nWheel 2147483646\nWheel 32767\n"},
        {"before any origin, no window in front: the primary monitor's", "PW",
         {Move(5, 5, 0), Mouse(K::RightDown, 6, 7, 40), Mouse(K::RightUp, 6, 7, 45)},
         "MoveIn 5 5\nMoveIn 6 7\nRightClick 1\n"},
    };
    for (const auto& [what, options, events, lines] : cases) EXPECT_EQ(Convert(events, options), lines) << what;
}

// Played back on the virtual clock: the same events, in the same order, at
// the same pixels, every gap within a millisecond of the recorded one.
TEST(RecordConversion, ReplayReproducesTheRecordedEventsAndGaps) {
    const std::vector<RecordedInput> recorded = Record(
        {Dn(kLCtrl, 1000), Dn(kC, 1080), Up(kC, 1129), Up(kLCtrl, 1200),                // Ctrl+C
         Dn(kA, 1400), Dn(kB, 1430), Up(kA, 1470), Up(kB, 1560),                       // overlap
         Mouse(K::LeftDown, 300, 200, 1700), Mouse(K::LeftUp, 300, 200, 1751),          // click
         Mouse(K::LeftDown, 300, 200, 1850), Mouse(K::LeftUp, 300, 200, 1930),          // again
         Mouse(K::RightDown, 40, 700, 2300), Mouse(K::RightUp, 41, 700, 2306),
         Dn(kC, 2400), Dn(kC, 2900), Up(kC, 2910),  // held, with a repeat
         Mouse(K::MiddleDown, 40, 700, 2950), Mouse(K::MiddleUp, 40, 700, 3001), Mouse(K::X2Down, 40, 700, 3020),
         Mouse(K::HWheel, 40, 700, 3030, -120), Mouse(K::X2Up, 40, 700, 3100), Mouse(K::Wheel, 40, 700, 3103, 360),
         Dn(kLCtrl, 4000), Dn(kLShift, 4050), Dn(kA, 4100)});
    for (bool path : {false, true}) {
        const auto replayed = Replay(ConvertRecording(recorded, RecordOptions{true, path}));
        ASSERT_EQ(replayed.size(), recorded.size());
        for (size_t i = 0; i < recorded.size(); ++i) {
            const RecordedInput& e = recorded[i];
            EXPECT_EQ(replayed[i].first, Describe(e) + (IsKey(e) ? "" : " " + std::to_string(e.x) + "," +
                                                                             std::to_string(e.y))) << i;
            if (i == 0) continue;
            const int64_t recordedGap = static_cast<int64_t>(e.timeUs - recorded[i - 1].timeUs) / 1000;
            EXPECT_LE(std::abs(int64_t{replayed[i].second} - replayed[i - 1].second - recordedGap), 1) << i;
        }
    }
}

// The goal: a click recorded in its window lands on the same client pixel
// after that window moved, to another monitor even.
TEST(RecordConversion, WindowRelativeClickFollowsItsWindow) {
    const auto recorded = Record({Origin(300, 200, 0), Mouse(K::LeftDown, 350, 260, 10),
                                  Mouse(K::LeftUp, 350, 260, 60), Dn(kB, 100), Up(kB, 150)});
    for (bool timing : {false, true}) {
        const auto actions = ConvertRecording(recorded, RecordOptions{timing, false, true});
        EXPECT_EQ(Replay(actions, DesktopPoint{300, 200})[0].first, "left down 350,260");
        EXPECT_EQ(Replay(actions, DesktopPoint{-1500, -300})[0].first, "left down -1450,-240");
    }
}

// --- The hook's side ---

// Everyone else's input while a window records, synthesised or not; never
// the program's own; the time as the hook saw it; a side button beyond the
// second only as its press.
TEST(InputRecorder, ReportsEveryoneElsesInputWhileRecording) {
    hook::testing::FakeSystem sink;
    hook::InputRecorder recorder(sink);
    const auto mouse = [&](hook::MouseAction action, uint64_t extraInfo = 0, int32_t data = 0) {
        recorder.OnMouseEvent(hook::MouseEvent{action, -1200, 0, false, data, extraInfo, 7000});
    };
    recorder.OnKeyEvent(hook::testing::Down(kB));
    mouse(hook::MouseAction::LeftDown);
    recorder.OnInputMissed(5000);
    EXPECT_TRUE(sink.recorded.empty()) << "nobody records";
    sink.recording = true;
    recorder.OnKeyEvent(hook::KeyEvent{kB, 0, false, false, true, 77, 123456789});  // injected
    recorder.OnKeyEvent(hook::testing::Up(kB, hook::kOwnInputTag));
    mouse(hook::MouseAction::LeftDown, hook::kOwnInputTag);
    using A = hook::MouseAction;
    for (A action : {A::LeftDown, A::LeftUp, A::RightDown, A::RightUp, A::MiddleDown, A::MiddleUp}) mouse(action);
    for (int32_t button : {1, 2, 3})
        for (A action : {A::ExtraDown, A::ExtraUp}) mouse(action, 0, button);
    mouse(A::Wheel, 0, -240);
    mouse(A::HWheel, 0, 0x10078);  // 16 bits of it
    recorder.OnInputMissed(8000);
    EXPECT_EQ(Shown(sink.recorded),
              (Texts{"key 66 down 123456", "left down -1200,0 7", "left up -1200,0 7", "right down -1200,0 7",
                     "right up -1200,0 7", "middle down -1200,0 7", "middle up -1200,0 7", "x1 down -1200,0 7",
                     "x1 up -1200,0 7", "x2 down -1200,0 7", "x2 up -1200,0 7", "other -1200,0 7",
                     "wheel -240 -1200,0 7", "hwheel 120 -1200,0 7", "missed 0,0 8"}));
    EXPECT_TRUE(sink.recorded[0].injected);
}

// The window in front is looked at as each pointer event arrives, only for
// a recording that asks, and reported only when it changed or the
// recording may be a new one; no window in front is the primary's corner.
TEST(InputRecorder, WindowOriginGoesAheadOfPointerEventsWhenItChanged) {
    hook::testing::FakeSystem sink;
    hook::InputRecorder recorder(sink, &sink);
    sink.recording = true;
    sink.origin = std::pair(-1917, -1058);
    const auto moves = [&](int n) {
        for (int i = 0; i < n; ++i) recorder.OnMouseEvent(hook::MouseEvent{});
    };
    moves(1);
    sink.windowOrigins = true;
    moves(2);
    recorder.OnKeyEvent(hook::testing::Down(kB));
    sink.origin.reset();
    moves(2);
    recorder.TargetsChanged();
    moves(1);
    EXPECT_EQ(Shown(sink.recorded),
              (Texts{"move 0,0 0", "in -1917,-1058 0", "move 0,0 0", "move 0,0 0", "key 66 down 0", "in 0,0 0",
                     "move 0,0 0", "move 0,0 0", "in 0,0 0", "move 0,0 0"}));
}

TEST(InputRecorder, ReportSurvivesItsTwoWords) {
    const RecordedInput in{K::LeftUp, 0xA3, 0x11D, true, true, -1920, 2159, 0, 0x123456789ABCull};
    const RecordedInput out = hook::Unpack(hook::Pack(in));
    EXPECT_EQ(std::tie(out.kind, out.vk, out.scan, out.extended, out.injected, out.x, out.y, out.timeUs),
              std::tie(in.kind, in.vk, in.scan, in.extended, in.injected, in.x, in.y, in.timeUs));
}

}  // namespace
}  // namespace tarvix
