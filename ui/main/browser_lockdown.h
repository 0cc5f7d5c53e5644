#pragma once

#include <windows.h>

#include <urlmon.h>

#include <cstddef>

namespace tarvix {

// The browser control's own restrictions, switched on for this process only
// (nothing is written to the registry), before the control is made. Each
// narrows what a page in the panel can do to the user.
extern const INTERNETFEATURELIST kBrowserLockdownFeatures[];
extern const std::size_t kBrowserLockdownFeatureCount;

// Switches them on; true when every one was. urlmon.dll comes from the
// system folder, found at run time: a system without it has no browser to
// lock down either.
bool LockDownBrowserFeatures();

}  // namespace tarvix
