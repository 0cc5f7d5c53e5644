#pragma once

#include <windows.h>

#include <memory>
#include <mutex>
#include <optional>

#include "web_address.h"

namespace tarvix {

// The message the probe posts to the main window when the advertisement page
// answered. It carries nothing: the window knows what to do.
constexpr UINT WM_AD_PAGE_ANSWERED = WM_APP + 0x40;

// The advertisement page: the maker's page, or the address in the
// environment variable TARVIX_AD_URL when it is set (the tests point it at a
// server of their own), which must be https or on this machine. Nothing
// when the variable names any other address: then no page is asked for.
std::optional<WebAddress> AdPageAddress();

// The one thing the probe thread and the main window share. The thread may
// outlive the window by far (a name lookup or a silent server can take a
// minute), so it never holds the window, only this: the window's handle,
// used while the window says it is there. Once the window has closed the
// handle may already name another window, which must not get our message.
class AdProbeMailbox {
public:
    AdProbeMailbox(HWND window, UINT message) : m_window(window), m_message(message) {}

    // From the probe thread. Posting never waits for the window, so holding
    // the lock over it cannot stall either side.
    void PostAnswered();

    // From the window while it is being destroyed: nothing arrives from now on.
    void Close();

private:
    std::mutex m_lock;
    HWND m_window;
    UINT m_message;
};

// Starts the probe of the page on a thread of its own, which is neither kept
// nor waited for; it tells `mailbox` when the page opens and otherwise ends
// quietly. False when no thread could be started.
bool StartAdProbe(const WebAddress& page, std::shared_ptr<AdProbeMailbox> mailbox);

// The thread procedure: 1 when the page opened, 0 otherwise.
DWORD WINAPI AdProbeThread(LPVOID job);

}  // namespace tarvix
