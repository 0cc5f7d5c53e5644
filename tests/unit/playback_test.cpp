// The run loop against a recording input sink and a virtual clock.
#include <gtest/gtest.h>

#include "playback_engine.h"
#include "playback_fakes.h"

namespace tarvix {
namespace {

using testing::Recorder;
using Events = std::vector<std::string>;

ScriptAction A(int32_t kind, int32_t p1 = 0, int32_t p2 = 0, std::string text = "") {
    return ScriptAction{CategoryOfKind(kind), kind, std::move(text), p1, p2};
}

PlaybackJob Job(std::vector<ScriptAction> steps, uint16_t type = RepeatCount, uint32_t number = 1) {
    PlaybackJob job;
    steps.push_back(ScriptAction::EndMarker());
    job.steps = std::move(steps);
    job.repeatType = type;
    job.repeatNumber = number;
    return job;
}

Events Play(const PlaybackJob& job, Recorder& r, RunResult expected = RunResult::Completed) {
    PlaybackPorts ports = r.Ports();
    EXPECT_EQ(PlayJob(job, ports), expected);
    return r.events;
}

TEST(PlaybackKinds, KeysUseScanCodesAndHold50ms) {
    Recorder r;
    EXPECT_EQ(Play(Job({A(KindKeyPress, 65, 2), A(KindKeyDown, 17, 1), A(KindKeyUp, 0x10041, 1)}), r),
              (Events{"0 key 65/1065 down", "50 key 65/1065 up", "50 key 65/1065 down", "100 key 65/1065 up",
                      "100 key 17/1017 down", "100 key 65/1065 up"}));
}

TEST(PlaybackKinds, Buttons) {
    Recorder r;
    EXPECT_EQ(Play(Job({A(KindLeftClick, 1), A(KindRightClick, 1), A(KindLeftDown, 2), A(KindLeftUp, 1),
                        A(KindRightDown, 1), A(KindRightUp, 1)}), r),
              (Events{"0 left down", "50 left up", "50 right down", "100 right up", "100 left down",
                      "100 left down", "100 left up", "100 right down", "100 right up"}));
}

TEST(PlaybackKinds, DoubleClickTimings) {
    Recorder r;
    EXPECT_EQ(Play(Job({A(KindLeftDoubleClick, 1)}), r),
              (Events{"0 left down", "50 left up", "100 left down", "150 left up"}));
}

TEST(PlaybackKinds, MovesDelayAndNoRepetitionForThem) {
    Recorder r;
    EXPECT_EQ(Play(Job({A(KindMoveTo, -1280, 1439), A(KindMoveR, -10, 5), A(KindDelay, 250), A(KindMoveTo, 1, 2)}), r),
              (Events{"0 move -1280,1439", "0 by -10,5", "250 move 1,2"}));
}

TEST(PlaybackKinds, ZeroRepetitionsPlayNothing) {
    Recorder r;
    Play(Job({A(KindKeyPress, 65, 0), A(KindKeyDown, 65, 0), A(KindLeftClick, 0), A(KindLeftDoubleClick, 0),
              A(KindRightUp, 0), A(KindKeyPress, 67, 1)}), r);
    EXPECT_EQ(r.events, (Events{"0 key 67/1067 down", "50 key 67/1067 up"}));
}

TEST(PlaybackRepeat, RepeatNumberIsUnsigned) {
    Recorder r;
    r.onPoll = [](Recorder& rec) { rec.stop = rec.events.size() >= 1000; };
    // -1 read as unsigned asks for 4294967295 passes: still playing at 1000.
    Play(Job({A(KindMoveR, 1, 0)}, RepeatCount, static_cast<uint32_t>(-1)), r, RunResult::Stopped);
    EXPECT_EQ(r.events.size(), 1000u);
}

TEST(PlaybackKinds, TextTypesKeysAndUnicodeCharacters) {
    Recorder r;
    // "H" needs Shift, "i" has a key, "!" is Shift+1, "中" (A4 A4) has none.
    EXPECT_EQ(Play(Job({A(KindSayString, 0, 0, "Hi!\xA4\xA4~")}), r),
              (Events{"0 key 16/0 down", "0 key 72/0 down", "50 key 72/0 up", "50 key 16/0 up",
                      "50 key 73/0 down", "100 key 73/0 up",
                      "100 key 16/0 down", "100 key 49/0 down", "150 key 49/0 up", "150 key 16/0 up",
                      "150 char \xA4\xA4 down", "200 char \xA4\xA4 up",
                      "200 char ~ down", "250 char ~ up"}));
}

TEST(PlaybackKinds, EndMarkerAndUnknownKindsPlayNothing) {
    Recorder r;
    Play(Job({A(99), A(-1)}), r);
    EXPECT_EQ(r.events, (Events{}));
}

TEST(PlaybackRepeat, CountPlaysThatManyPassesAndZeroOrOneGivesOne) {
    for (uint32_t n : {0u, 1u, 3u}) {
        Recorder r;
        Play(Job({A(KindMoveR, 1, 0)}, RepeatCount, n), r);
        EXPECT_EQ(r.events.size(), n == 0 ? 1u : n) << n;
    }
}

TEST(PlaybackRepeat, SecondsEndAfterThePassThatReachesTheDuration) {
    Recorder r;
    r.now = 999;  // whole seconds are counted from the first reading
    Play(Job({A(KindDelay, 400), A(KindMoveR, 1, 0)}, RepeatSeconds, 2), r);
    // Passes end at 1399, 1799, 2199, 2599, 2999: elapsed 1, 1, 2 at 2199.
    EXPECT_EQ(r.events.size(), 3u);
    Recorder once;
    Play(Job({A(KindMoveR, 1, 0)}, RepeatSeconds, 0), once);
    EXPECT_EQ(once.events.size(), 1u);
}

TEST(PlaybackRepeat, UntilStopAndUnknownTypesRunUntilTheSignal) {
    for (uint16_t type : {uint16_t{RepeatUntilStop}, uint16_t{7}}) {
        Recorder r;
        r.onSleep = [](Recorder& rec) { rec.stop = rec.now >= 1000; };
        Play(Job({A(KindDelay, 100)}, type, 1), r, RunResult::Stopped);
        EXPECT_EQ(r.now, 1000u);
    }
}

TEST(PlaybackStop, PolledBeforeEveryStepOnly) {
    Recorder r;
    r.onPoll = [](Recorder& rec) { rec.stop = rec.polls == 3; };
    Play(Job({A(KindMoveR, 1, 0), A(KindMoveR, 2, 0), A(KindMoveR, 3, 0)}), r, RunResult::Stopped);
    EXPECT_EQ(r.events, (Events{"0 by 1,0", "0 by 2,0"}));
}

TEST(PlaybackStop, StopDuringADelayEndsTheRunRightAfterIt) {
    Recorder r;
    r.onSleep = [](Recorder& rec) { rec.stop = true; };
    Play(Job({A(KindDelay, 3000), A(KindMoveR, 1, 0)}), r, RunResult::Stopped);
    EXPECT_EQ(r.now, 3000u) << "the delay is not cut short";
    EXPECT_TRUE(r.events.empty());
}

TEST(PlaybackStop, RunClearsItsScriptsFlagWhenItEnds) {
    for (bool stopped : {false, true}) {
        Recorder r;
        r.stop = stopped;
        PlaybackJob job = Job({A(KindMoveR, 1, 0)});
        job.script = std::make_shared<RunFlag>();
        job.script->Set();
        Play(job, r, stopped ? RunResult::Stopped : RunResult::Completed);
        EXPECT_FALSE(job.script->IsSet());
    }
}

TEST(PlaybackOneWindow, StepsPlayOnlyWhileTheTargetIsInFront) {
    Recorder r;
    PlaybackJob job = Job({A(KindMoveR, 1, 0), A(KindDelay, 10), A(KindMoveR, 2, 0)}, RepeatCount, 2);
    job.oneWindow = 1;
    job.targetTitle = "Notepad";
    r.title = "Other";
    r.onPoll = [](Recorder& rec) { if (rec.polls == 6) rec.title = "Notepad"; };
    Play(job, r);
    // Pass one: three steps and the end marker skipped (the pass still counts).
    // Pass two: the title changes at the poll of its second step.
    EXPECT_EQ(r.events, (Events{"0 idle 5", "15 by 2,0"}));
}

TEST(PlaybackOneWindow, TitleComparedWholeAndCaseSensitive) {
    for (const char* title : {"notepad", "Notepad ", "Note"}) {
        Recorder r;
        PlaybackJob job = Job({A(KindMoveR, 1, 0)});
        job.oneWindow = 1;
        job.targetTitle = "Notepad";
        r.title = title;
        Play(job, r);
        EXPECT_EQ(r.events, (Events{})) << title;
    }
    Recorder none;  // no foreground window: an empty target matches
    PlaybackJob job = Job({A(KindMoveR, 1, 0)});
    job.oneWindow = 1;
    Play(job, none);
    EXPECT_EQ(none.events, (Events{"0 by 1,0"}));
}

TEST(PlaybackIdle, PassesThatPlayNothingWaitInsteadOfSpinning) {
    Recorder r;
    r.onPoll = [](Recorder& rec) { rec.stop = rec.events.size() >= 3; };
    PlaybackPorts ports = r.Ports();
    EXPECT_EQ(PlayJob(Job({}, RepeatUntilStop), ports), RunResult::Stopped);
    EXPECT_EQ(r.events, (Events{"0 idle 5", "5 idle 5", "10 idle 5"}));

    Recorder busy;  // a pass that plays something goes straight on
    busy.onPoll = [](Recorder& rec) { rec.stop = rec.events.size() >= 3; };
    PlaybackPorts busyPorts = busy.Ports();
    PlayJob(Job({A(KindMoveR, 1, 0)}, RepeatUntilStop), busyPorts);
    EXPECT_EQ(busy.events, (Events{"0 by 1,0", "0 by 1,0", "0 by 1,0"}));
}

// The start hotkey's modifiers, still held when the run begins.
PlaybackJob HotkeyJob(std::vector<ScriptAction> steps, uint16_t mods) {
    PlaybackJob job = Job(std::move(steps));
    job.hotkeyModifiers = mods;
    return job;
}

Events Played(const Events& events) {
    Events played;
    for (const std::string& e : events)
        if (e.find(" idle ") == std::string::npos) played.push_back(e);
    return played;
}

TEST(PlaybackHeldModifiers, TheFirstStepWaitsUntilTheHotkeysModifiersAreUp) {
    const std::vector<ScriptAction> steps = {A(KindKeyPress, 65, 1)};
    // Let go before the run begins: it plays at once.
    Recorder before;
    before.heldUntil[0xA2] = 0;
    EXPECT_EQ(Played(Play(HotkeyJob(steps, ModCtrl), before)), (Events{"0 key 65/1065 down", "50 key 65/1065 up"}));

    // Let go 300 ms later (right Ctrl): the first key waits for it, and no
    // key of the user's is touched.
    Recorder during;
    during.heldUntil[0xA3] = 300;
    EXPECT_EQ(Played(Play(HotkeyJob(steps, ModCtrl), during)), (Events{"300 key 65/1065 down", "350 key 65/1065 up"}));

    // Only the hotkey's own modifiers count: Shift held for a Ctrl hotkey is
    // not waited for.
    Recorder other;
    other.heldUntil[0xA0] = 900;
    EXPECT_EQ(Played(Play(HotkeyJob(steps, ModCtrl), other)).front(), "0 key 65/1065 down");

    // A hotkey without modifiers starts at once whatever is held.
    Recorder none;
    none.heldUntil[0xA2] = 900;
    EXPECT_EQ(Play(HotkeyJob(steps, 0), none).front(), "0 key 65/1065 down");
}

TEST(PlaybackHeldModifiers, HeldBeyondTheWaitTheyAreReleasedForTheRun) {
    Recorder r;
    r.heldUntil[0xA4] = 60000;  // left Alt, held on and on
    r.heldUntil[0xA0] = 60000;  // left Shift
    const Events played = Played(Play(HotkeyJob({A(KindKeyPress, 65, 1)}, ModAlt | ModShift), r));
    EXPECT_EQ(played, (Events{"2000 key 160/1160 up", "2000 key 164/1164 up", "2000 key 65/1065 down",
                              "2050 key 65/1065 up"}));
}

TEST(PlaybackHeldModifiers, TheStopSignalEndsTheWait) {
    Recorder r;
    r.heldUntil[0xA2] = 60000;
    // The stop comes on the tenth look while the user still holds Ctrl.
    struct CountingStop : StopSignal {
        int calls = 0;
        bool IsSet() override { return calls >= 10; }
        bool WaitFor(uint32_t) override { return ++calls >= 10; }
    } stop;
    PlaybackPorts ports{r, r, stop, r, IsBig5LeadByte, &r};
    EXPECT_EQ(PlayJob(HotkeyJob({A(KindKeyPress, 65, 1)}, 2), ports), RunResult::Stopped);
    EXPECT_EQ(stop.calls, 10);
    EXPECT_TRUE(r.events.empty()) << "nothing played, nothing released";
}

TEST(PlaybackHeldModifiers, KeysTheScriptHoldsItselfStillCombine) {
    Recorder r;
    r.heldUntil[0xA2] = 100;
    const Events played = Played(Play(
        HotkeyJob({A(KindKeyDown, 17, 1), A(KindKeyPress, 65, 1), A(KindKeyUp, 17, 1)}, 2), r));
    EXPECT_EQ(played, (Events{"100 key 17/1017 down", "100 key 65/1065 down", "150 key 65/1065 up",
                              "150 key 17/1017 up"}));
    // Passes after the first do not wait again.
    Recorder repeat;
    repeat.heldUntil[0xA2] = 100;
    PlaybackJob twice = HotkeyJob({A(KindKeyPress, 65, 1)}, 2);
    twice.repeatNumber = 2;
    EXPECT_EQ(Played(Play(twice, repeat)),
              (Events{"100 key 65/1065 down", "150 key 65/1065 up", "150 key 65/1065 down", "200 key 65/1065 up"}));
}

TEST(PlaybackMove, NormalizedCoordinatesLandOnThePixel) {
    // The system maps n to pixel n * extent / 65536, rounded down.
    for (int32_t extent : {768, 1024, 1080, 1920, 3840}) {
        for (int32_t p = 0; p < extent; ++p) {
            const int64_t n = NormalizedCoordinate(p, 0, extent);
            ASSERT_EQ(n * extent / 65536, p) << extent << " " << p;
        }
    }
    EXPECT_EQ(NormalizedCoordinate(-1280, -1280, 3200), 0);
    EXPECT_EQ(NormalizedCoordinate(-1, -1280, 3200) * 3200 / 65536 - 1280, -1);
    EXPECT_EQ(NormalizedCoordinate(-5000, -1280, 3200), 0) << "clamped to the desktop";
    EXPECT_EQ(NormalizedCoordinate(99999, 0, 1024), 65535);
    EXPECT_EQ(NormalizedCoordinate(5, 0, 0), 0);
}

}  // namespace
}  // namespace tarvix
