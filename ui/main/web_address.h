// Which web addresses the advertisement panel may show, which ones may be
// handed to the user's own browser, and which are refused. No Windows header:
// every decision here is tested natively.
//
// Only a narrow, plain form of address is accepted at all: http or https, a
// host name of ASCII letters, digits and hyphens (or a dotted-decimal IPv4
// address), an optional port, and a path of the characters an address may
// hold. Anything that different parsers could read differently (user names
// before the host, escapes or non-ASCII letters in the host, punycode labels
// that spell look-alike names, numeric hosts in hexadecimal or octal, back
// slashes, spaces, quotes) is refused rather than interpreted.
#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace tarvix {

// Longer addresses are refused; the browser control itself takes no more.
constexpr std::size_t kMaxWebAddressLength = 2048;

struct WebAddress {
    std::string scheme;    // "http" or "https"
    std::string host;      // lower case
    std::uint16_t port{};  // the one given, or the scheme's own
    std::string rest;      // path, query and fragment as given; at least "/"

    // The address written out again in one plain form: lower-case scheme and
    // host, the port only where it is not the scheme's own.
    std::string Text() const;

    // Same scheme, host and port: the same site for the browser's purposes.
    bool SameSite(const WebAddress& other) const;
};

// The address in `text`, or nothing when it is not one of the plain form.
std::optional<WebAddress> ParseWebAddress(std::string_view text);

// The maker's advertisement page.
extern const char kAdPageAddress[];

// The page the panel shows: the maker's page, or `override` (the test
// variable) when that is given and non-empty. An override must be an https
// address, or an http one on this machine (127.0.0.1 or localhost); any
// other gives nothing: no page is asked for and the banner stays.
std::optional<WebAddress> ChooseAdPageAddress(const char* override);

// Where a redirect from `from` to the Location text `location` leads, or
// nothing when the target is not an address of the plain form.
std::optional<WebAddress> ResolveRedirect(const WebAddress& from, std::string_view location);

enum class NavigationVerdict {
    Stay,         // the browser may go there
    OpenOutside,  // cancel it, and open it in the user's own browser
    Refuse,       // cancel it and do nothing more
};

// A navigation of the browser's page (or of a frame in it) to `target`,
// while it shows `home`. Only `home`'s site is shown in the panel; an
// address elsewhere goes to the user's browser when the user asked for it
// with a click or a key in the panel, and is refused when the page asked
// for it by itself. Frames never send anything outside.
NavigationVerdict DecideNavigation(const WebAddress& home, std::string_view target, bool topLevel,
                                   bool userAsked);

// A new window the page asks for: never in this process. The user's own
// request for a plain address opens it in the user's browser.
NavigationVerdict DecideNewWindow(std::string_view target, bool userAsked);

}  // namespace tarvix
