#include "ad_panel.h"

#include <wininet.h>

#include <vector>

namespace tarvix {

namespace {

constexpr char kAdPageUrl[] = "http://www.tarvix.org/cn/ad/ad_tarvix.htm";
constexpr char kAdUrlVariable[] = "TARVIX_AD_URL";

struct AdProbeJob {
    std::string url;
    std::shared_ptr<AdProbeMailbox> mailbox;
};

struct InternetHandleCloser {
    void operator()(HINTERNET handle) const { ::InternetCloseHandle(handle); }
};
using InternetHandle = std::unique_ptr<void, InternetHandleCloser>;

// Whether the server gives any answer for the page, an error status too.
// Nothing of the page is read.
bool PageAnswers(const std::string& url) {
    InternetHandle session(::InternetOpenA(nullptr, INTERNET_OPEN_TYPE_PRECONFIG, nullptr, nullptr, 0));
    if (!session) return false;
    // From the server itself, not from the cache: a copy kept from an
    // earlier day says nothing about whether the server is there now.
    const DWORD flags = INTERNET_FLAG_TRANSFER_ASCII | INTERNET_FLAG_RELOAD | INTERNET_FLAG_NO_CACHE_WRITE;
    InternetHandle page(::InternetOpenUrlA(session.get(), url.c_str(), nullptr, 0, flags, 1));
    // The page goes before the session, as the handles were opened.
    return page != nullptr;
}

}  // namespace

std::string AdPageUrl() {
    const DWORD needed = ::GetEnvironmentVariableA(kAdUrlVariable, nullptr, 0);
    if (needed > 1) {
        std::vector<char> value(needed);
        const DWORD length = ::GetEnvironmentVariableA(kAdUrlVariable, value.data(), needed);
        if (length > 0 && length < needed) return std::string(value.data(), length);
    }
    return kAdPageUrl;
}

void AdProbeMailbox::PostAnswered() {
    std::lock_guard<std::mutex> hold(m_lock);
    if (m_window) ::PostMessageW(m_window, m_message, 0, 0);
}

void AdProbeMailbox::Close() {
    std::lock_guard<std::mutex> hold(m_lock);
    m_window = nullptr;
}

bool StartAdProbe(std::string url, std::shared_ptr<AdProbeMailbox> mailbox) {
    auto job = std::make_unique<AdProbeJob>(AdProbeJob{std::move(url), std::move(mailbox)});
    const HANDLE thread = ::CreateThread(nullptr, 0, &AdProbeThread, job.get(), 0, nullptr);
    if (!thread) return false;
    job.release();  // the thread's now
    ::CloseHandle(thread);
    return true;
}

DWORD WINAPI AdProbeThread(LPVOID param) {
    const std::unique_ptr<AdProbeJob> job(static_cast<AdProbeJob*>(param));
    if (!PageAnswers(job->url)) return 0;
    job->mailbox->PostAnswered();
    return 1;
}

}  // namespace tarvix
