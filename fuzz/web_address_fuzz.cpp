// Feeds any bytes to the web address decisions: the text up to the first
// line end as an address, the rest as a redirect's Location. Checks that an
// accepted address comes out in a plain form that is accepted again as the
// same address, holds only address characters and fits the length limit;
// that a redirect's target is such an address too; and that no decision lets
// an address the parser refused stay in the panel or go outside.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>

#include "web_address.h"

namespace {

using namespace tarvix;

void Require(bool condition) {
    if (!condition) std::abort();
}

bool IsPlainText(const std::string& text) {
    for (char c : text)
        if (c < 0x21 || c > 0x7E || c == '"' || c == '\\' || c == '<' || c == '>') return false;
    return true;
}

void CheckAccepted(const WebAddress& address) {
    const std::string text = address.Text();
    Require(text.size() <= kMaxWebAddressLength);
    Require(IsPlainText(text));
    Require(address.scheme == "http" || address.scheme == "https");
    Require(address.host.find_first_of("@%[]:/\\ABCDEFGHIJKLMNOPQRSTUVWXYZ") == std::string::npos);
    Require(!address.rest.empty() && address.rest[0] == '/');
    const auto again = ParseWebAddress(text);
    Require(again && again->Text() == text && again->SameSite(address));
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::string_view input(reinterpret_cast<const char*>(data), size);
    const std::size_t newline = input.find('\n');
    const std::string_view first = input.substr(0, newline);
    const std::string_view second = newline == std::string_view::npos ? std::string_view() : input.substr(newline + 1);

    const auto address = ParseWebAddress(first);
    if (address) CheckAccepted(*address);
    const auto home = address ? *address : *ParseWebAddress(kAdPageAddress);

    for (bool topLevel : {false, true})
        for (bool asked : {false, true}) {
            const NavigationVerdict verdict = DecideNavigation(home, second, topLevel, asked);
            const auto target = ParseWebAddress(second);
            if (!target) Require(verdict == NavigationVerdict::Refuse);
            if (verdict == NavigationVerdict::Stay) Require(target->SameSite(home));
            if (verdict == NavigationVerdict::OpenOutside) Require(topLevel && asked);
        }
    if (DecideNewWindow(second, true) == NavigationVerdict::OpenOutside) Require(ParseWebAddress(second).has_value());

    if (const auto next = ResolveRedirect(home, second)) CheckAccepted(*next);

    const std::string overrideText(first);
    if (const auto page = ChooseAdPageAddress(overrideText.c_str())) {
        CheckAccepted(*page);
        Require(page->scheme == "https" || page->host == "127.0.0.1" || page->host == "localhost" ||
                overrideText.empty());
    }
    return 0;
}
