#include "browser_lockdown.h"

#include "system_library.h"

namespace tarvix {

const INTERNETFEATURELIST kBrowserLockdownFeatures[] = {
    // Content from this computer runs no script and no ActiveX control: a
    // page cannot get at local files by way of the local-machine zone.
    FEATURE_LOCALMACHINE_LOCKDOWN,
    // No step from the Internet zone into a more trusted one.
    FEATURE_ZONE_ELEVATION,
    // A file is what its declared type says, never guessed from its bytes
    // (a picture that is really a script), and handled by that type.
    FEATURE_MIME_SNIFFING,
    FEATURE_MIME_HANDLING,
    // Script may not open windows without frames or move them off screen,
    // and pop-ups are blocked.
    FEATURE_WINDOW_RESTRICTIONS,
    FEATURE_WEBOC_POPUPMANAGEMENT,
    // No ActiveX install prompts, no downloads the user did not start.
    FEATURE_RESTRICT_ACTIVEXINSTALL,
    FEATURE_RESTRICT_FILEDOWNLOAD,
    // Binary behaviours, objects bound without the safety checks and add-ons
    // the user switched off stay out.
    FEATURE_BEHAVIORS,
    FEATURE_SAFE_BINDTOOBJECT,
    FEATURE_ADDON_MANAGEMENT,
    // Objects cached by one site are not handed to another.
    FEATURE_OBJECT_CACHING,
    // Old protocols that reach into the file system or other programs.
    FEATURE_DISABLE_MK_PROTOCOL,
    FEATURE_DISABLE_TELNET_PROTOCOL,
    FEATURE_PROTOCOL_LOCKDOWN,
    // Addresses are checked before they are followed, and may carry no user
    // name or password ("https://maker@elsewhere/").
    FEATURE_VALIDATE_NAVIGATE_URL,
    FEATURE_HTTP_USERNAME_PASSWORD_DISABLE,
    // Files saved from network shares keep their mark of origin.
    FEATURE_UNC_SAVEDFILECHECK,
    // Script may not ask the user to type something into a prompt that looks
    // like the program's own.
    FEATURE_BLOCK_INPUT_PROMPTS,
    // No click at every start when the page loads.
    FEATURE_DISABLE_NAVIGATION_SOUNDS,
};
const std::size_t kBrowserLockdownFeatureCount = sizeof kBrowserLockdownFeatures / sizeof kBrowserLockdownFeatures[0];

bool LockDownBrowserFeatures() {
    using SetFeatureFn = HRESULT(WINAPI*)(INTERNETFEATURELIST, DWORD, BOOL);
    const HMODULE urlmon = LoadSystemLibrary(L"urlmon.dll");
    if (!urlmon) return false;
    const auto setFeature = reinterpret_cast<SetFeatureFn>(
        reinterpret_cast<void*>(::GetProcAddress(urlmon, "CoInternetSetFeatureEnabled")));
    if (!setFeature) return false;
    bool all = true;
    for (const INTERNETFEATURELIST feature : kBrowserLockdownFeatures)
        all = SUCCEEDED(setFeature(feature, SET_FEATURE_ON_PROCESS, TRUE)) && all;
    return all;
}

}  // namespace tarvix
