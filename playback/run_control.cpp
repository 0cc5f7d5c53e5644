#include "run_control.h"

#include "key_names.h"

namespace tarvix {

bool ModifiersMatch(uint16_t mods, HeldModifiers held) {
    return held.alt == ((mods & ModAlt) != 0) && held.ctrl == ((mods & ModCtrl) != 0) &&
           held.shift == ((mods & ModShift) != 0);
}

uint16_t HeldModifierBits(HeldModifiers held) {
    return static_cast<uint16_t>((held.alt ? ModAlt : 0) | (held.ctrl ? ModCtrl : 0) | (held.shift ? ModShift : 0));
}

bool ShouldStart(const CScript& script, uint16_t vk, HeldModifiers held, Edition edition) {
    if (!script.m_enabled) return false;
    if (TraitsOf(edition).hasRunOnce && script.m_running->IsSet() && script.m_runOnce) return false;
    if (script.m_beginHotkey != vk) return false;
    return ModifiersMatch(script.m_beginHotkeyMod, held);
}

std::unique_ptr<PlaybackJob> MakeJob(const CScript& script, const DispatchContext& context) {
    auto job = std::make_unique<PlaybackJob>();
    job->repeatType = script.m_repeatType;
    job->repeatNumber = static_cast<uint32_t>(script.m_repeatNumber);
    job->steps.assign(script.m_actions.begin(), script.m_actions.end());
    job->oneWindow = context.targetMode;
    job->targetTitle = context.targetTitle;
    job->hotkeyModifiers = script.m_beginHotkeyMod;
    job->speed = script.m_speed;
    if (TraitsOf(context.edition).hasRunOnce) job->script = script.m_running;
    return job;
}

bool ReportConcerns(const ScriptLibrary& library, uint16_t vk, const DispatchContext& context) {
    return vk == context.stopHotkey || library.UsesKey(vk);
}

int DispatchHotkey(const ScriptLibrary& library, uint16_t vk, HeldModifiers held,
                   const DispatchContext& context, RunLauncher& launcher) {
    int started = 0;
    // Only the scripts of this key and these modifiers can pass; each still
    // goes through every check, in list order.
    for (const CScript* script : library.ScriptsOn(vk, HeldModifierBits(held))) {
        if (!ShouldStart(*script, vk, held, context.edition)) continue;
        auto job = MakeJob(*script, context);
        launcher.ResetStop();
        // Set before the thread can end, so that the run's clearing comes last.
        if (TraitsOf(context.edition).hasRunOnce) script->m_running->Set();
        launcher.Start(std::move(job));
        ++started;
    }
    if (vk == context.stopHotkey && ModifiersMatch(context.stopHotkeyMod, held)) launcher.SetStop();
    return started;
}

}  // namespace tarvix
