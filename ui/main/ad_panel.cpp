#include "ad_panel.h"

#include <wininet.h>

#include <string>

#include "scoped_handles.h"

#include <vector>

namespace tarvix {

namespace {

constexpr char kAdUrlVariable[] = "TARVIX_AD_URL";

// A server that sends the probe round in circles has not answered.
constexpr int kMaxRedirects = 5;

struct AdProbeJob {
    WebAddress page;
    std::shared_ptr<AdProbeMailbox> mailbox;
};

using win32::ScopedInternetHandle;

// Where a redirect answer sends the asker: nothing for any other answer, an
// empty text for a redirect whose target cannot be read (too long for any
// address we take).
std::optional<std::string> RedirectTarget(HINTERNET page, DWORD status) {
    if (status < 300 || status > 399) return std::nullopt;
    std::vector<char> location(kMaxWebAddressLength + 2);
    DWORD size = static_cast<DWORD>(location.size());
    if (::HttpQueryInfoA(page, HTTP_QUERY_LOCATION, location.data(), &size, nullptr))
        return std::string(location.data(), size);
    // A 3xx without a Location header sends nobody anywhere: an answer.
    return ::GetLastError() == ERROR_HTTP_HEADER_NOT_FOUND ? std::nullopt : std::optional<std::string>("");
}

// Whether the page's own server gives any answer for it, an error status
// too. Nothing of the page is read. The connection must be the one the
// address names: a certificate the system does not trust, one for another
// name, or a redirect to another scheme, host or port is no answer, since
// that is all someone between the user and the server could give.
bool PageAnswers(const WebAddress& page) {
    ScopedInternetHandle session(::InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return false;
    // From the server itself, not from the cache: a copy kept from an
    // earlier day says nothing about whether the server is there now.
    // Redirects are followed here, not by WinINet, so that each is checked;
    // no flag loosens the certificate checks, and nothing asks the user.
    const DWORD flags = INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE |
                        INTERNET_FLAG_NO_AUTO_REDIRECT | INTERNET_FLAG_NO_COOKIES | INTERNET_FLAG_NO_UI;
    WebAddress at = page;
    for (int hop = 0; hop <= kMaxRedirects; ++hop) {
        // The page goes before the session, as the handles were opened.
        const ScopedInternetHandle answer(::InternetOpenUrlA(session.get(), at.Text().c_str(), nullptr, 0, flags, 1));
        if (!answer) return false;
        // A connection closed before a status line answered nothing, though
        // WinINet may hand out a page for it.
        DWORD status = 0;
        DWORD size = sizeof status;
        if (!::HttpQueryInfoA(answer.get(), HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &size, nullptr) ||
            status < 100)
            return false;
        const auto target = RedirectTarget(answer.get(), status);
        if (!target) return true;
        const auto next = ResolveRedirect(at, *target);
        if (!next || !next->SameSite(page)) return false;
        at = *next;
    }
    return false;
}

}  // namespace

std::optional<WebAddress> AdPageAddress() {
    const DWORD needed = ::GetEnvironmentVariableA(kAdUrlVariable, nullptr, 0);
    if (needed > 1) {
        std::vector<char> value(needed);
        const DWORD length = ::GetEnvironmentVariableA(kAdUrlVariable, value.data(), needed);
        if (length > 0 && length < needed) return ChooseAdPageAddress(value.data());
    }
    return ChooseAdPageAddress(nullptr);
}

void AdProbeMailbox::PostAnswered() {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_window) ::PostMessageW(m_window, m_message, 0, 0);
}

void AdProbeMailbox::Close() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_window = nullptr;
}

bool StartAdProbe(const WebAddress& page, std::shared_ptr<AdProbeMailbox> mailbox) {
    auto job = std::make_unique<AdProbeJob>(AdProbeJob{page, std::move(mailbox)});
    // The thread is neither waited for nor kept: its handle goes at once.
    const win32::ScopedHandle thread(::CreateThread(nullptr, 0, &AdProbeThread, job.get(), 0, nullptr));
    if (!thread) return false;
    job.release();  // the thread's now
    return true;
}

DWORD WINAPI AdProbeThread(LPVOID param) {
    const std::unique_ptr<AdProbeJob> job(static_cast<AdProbeJob*>(param));
    if (!PageAnswers(job->page)) return 0;
    job->mailbox->PostAnswered();
    return 1;
}

}  // namespace tarvix
