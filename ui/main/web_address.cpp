#include "web_address.h"

#include <algorithm>

namespace tarvix {

const char kAdPageAddress[] = "https://www.tarvix.org/cn/ad/ad_tarvix.htm";

namespace {

constexpr std::size_t kMaxHostLength = 253;
constexpr std::size_t kMaxLabelLength = 63;

bool IsAlpha(char c) { return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z'); }
bool IsDigit(char c) { return c >= '0' && c <= '9'; }
bool IsHex(char c) { return IsDigit(c) || (c >= 'a' && c <= 'f') || (c >= 'A' && c <= 'F'); }
char Lower(char c) { return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c; }

std::string LowerCopy(std::string_view text) {
    std::string out(text);
    std::transform(out.begin(), out.end(), out.begin(), Lower);
    return out;
}

// The characters an address may hold unescaped. Spaces, quotes, angle
// brackets, back slashes and the like are not among them: a browser's
// command line or a lenient parser could read them in a way of its own.
bool IsAddressChar(char c) {
    if (IsAlpha(c) || IsDigit(c)) return true;
    constexpr std::string_view kOthers = "-._~:/?#[]@!$&'()*+,;=%";
    return kOthers.find(c) != std::string_view::npos;
}

bool EscapesAreWhole(std::string_view text) {
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] != '%') continue;
        if (i + 2 >= text.size() || !IsHex(text[i + 1]) || !IsHex(text[i + 2])) return false;
        i += 2;
    }
    return true;
}

std::uint16_t DefaultPort(std::string_view scheme) { return scheme == "https" ? 443 : 80; }

// 1 to 65535 in plain decimal.
std::optional<std::uint16_t> ParsePort(std::string_view text) {
    if (text.empty() || text.size() > 5) return std::nullopt;
    unsigned value = 0;
    for (char c : text) {
        if (!IsDigit(c)) return std::nullopt;
        value = value * 10 + static_cast<unsigned>(c - '0');
    }
    if (value == 0 || value > 65535) return std::nullopt;
    return static_cast<std::uint16_t>(value);
}

// Four decimal numbers 0 to 255 without leading zeros: the one spelling of
// an IPv4 address that every reader takes the same way.
bool IsPlainIpv4(std::string_view host) {
    int parts = 0;
    std::size_t start = 0;
    while (start <= host.size()) {
        const std::size_t end = std::min(host.find('.', start), host.size());
        const std::string_view part = host.substr(start, end - start);
        if (part.empty() || part.size() > 3 || (part.size() > 1 && part[0] == '0')) return false;
        unsigned value = 0;
        for (char c : part) {
            if (!IsDigit(c)) return false;
            value = value * 10 + static_cast<unsigned>(c - '0');
        }
        if (value > 255 || ++parts > 4) return false;
        start = end + 1;
    }
    return parts == 4;
}

bool IsPlainLabel(std::string_view label) {
    if (label.empty() || label.size() > kMaxLabelLength) return false;
    if (label.front() == '-' || label.back() == '-') return false;
    // Punycode: a name that may show as letters of another script, looking
    // like a name it is not.
    if (label.size() >= 4 && label.substr(0, 4) == "xn--") return false;
    return std::all_of(label.begin(), label.end(), [](char c) { return IsAlpha(c) || IsDigit(c) || c == '-'; });
}

// A host whose last label is a number, or looks like one in hexadecimal, is
// an IPv4 address to a browser, however it is spelt.
bool LastLabelIsNumeric(std::string_view host) {
    const std::size_t dot = host.rfind('.');
    const std::string_view last = dot == std::string_view::npos ? host : host.substr(dot + 1);
    if (last.size() >= 2 && last[0] == '0' && last[1] == 'x') return true;
    return !last.empty() && std::all_of(last.begin(), last.end(), IsDigit);
}

bool IsPlainHost(std::string_view host) {
    if (host.empty() || host.size() > kMaxHostLength) return false;
    if (LastLabelIsNumeric(host)) return IsPlainIpv4(host);
    std::size_t start = 0;
    while (true) {
        const std::size_t end = host.find('.', start);
        if (!IsPlainLabel(host.substr(start, end == std::string_view::npos ? end : end - start))) return false;
        if (end == std::string_view::npos) return true;
        start = end + 1;
    }
}

// Scheme, host and port written out, without the path.
std::string Origin(const WebAddress& address) {
    std::string text = address.scheme + "://" + address.host;
    if (address.port != DefaultPort(address.scheme)) text += ":" + std::to_string(address.port);
    return text;
}

}  // namespace

std::string WebAddress::Text() const { return Origin(*this) + rest; }

bool WebAddress::SameSite(const WebAddress& other) const {
    return scheme == other.scheme && host == other.host && port == other.port;
}

std::optional<WebAddress> ParseWebAddress(std::string_view text) {
    if (text.empty() || text.size() > kMaxWebAddressLength) return std::nullopt;
    if (!std::all_of(text.begin(), text.end(), IsAddressChar) || !EscapesAreWhole(text)) return std::nullopt;

    const std::size_t colon = text.find("://");
    if (colon == std::string_view::npos) return std::nullopt;
    WebAddress address;
    address.scheme = LowerCopy(text.substr(0, colon));
    if (address.scheme != "http" && address.scheme != "https") return std::nullopt;

    const std::string_view afterScheme = text.substr(colon + 3);
    const std::size_t authorityEnd = std::min(afterScheme.find_first_of("/?#"), afterScheme.size());
    const std::string_view authority = afterScheme.substr(0, authorityEnd);
    // A user name before the host ("https://maker@elsewhere/") shows one
    // host and goes to another; escapes and brackets have no place there.
    if (authority.find_first_of("@%[]") != std::string_view::npos) return std::nullopt;

    const std::size_t portColon = authority.find(':');
    const std::string_view host = authority.substr(0, portColon);
    address.port = DefaultPort(address.scheme);
    if (portColon != std::string_view::npos) {
        const auto port = ParsePort(authority.substr(portColon + 1));
        if (!port) return std::nullopt;
        address.port = *port;
    }
    address.host = LowerCopy(host);
    if (!IsPlainHost(address.host)) return std::nullopt;

    const std::string_view rest = afterScheme.substr(authorityEnd);
    address.rest = (rest.empty() || rest[0] != '/') ? "/" + std::string(rest) : std::string(rest);
    // The plain form may be a character longer than the text ("/" added):
    // what is handed on must pass this same check again.
    if (address.Text().size() > kMaxWebAddressLength) return std::nullopt;
    return address;
}

std::optional<WebAddress> ChooseAdPageAddress(const char* override) {
    if (!override || !*override) return ParseWebAddress(kAdPageAddress);
    auto address = ParseWebAddress(override);
    if (!address) return std::nullopt;
    if (address->scheme == "https") return address;
    if (address->host == "127.0.0.1" || address->host == "localhost") return address;
    return std::nullopt;
}

std::optional<WebAddress> ResolveRedirect(const WebAddress& from, std::string_view location) {
    if (location.empty()) return std::nullopt;
    const std::size_t schemeEnd = location.find(':');
    const std::size_t firstDelimiter = location.find_first_of("/?#");
    if (schemeEnd != std::string_view::npos && schemeEnd < firstDelimiter) return ParseWebAddress(location);
    if (location.substr(0, 2) == "//") return ParseWebAddress(from.scheme + ":" + std::string(location));

    const std::string origin = Origin(from);
    if (location[0] == '/') return ParseWebAddress(origin + std::string(location));
    const std::string_view rest = from.rest;
    const std::size_t queryStart = std::min(rest.find_first_of("?#"), rest.size());
    const std::string_view path = rest.substr(0, queryStart);
    if (location[0] == '?') return ParseWebAddress(origin + std::string(path) + std::string(location));
    if (location[0] == '#') {
        const std::string_view pathAndQuery = rest.substr(0, std::min(rest.find('#'), rest.size()));
        return ParseWebAddress(origin + std::string(pathAndQuery) + std::string(location));
    }
    const std::string_view folder = path.substr(0, path.rfind('/') + 1);
    return ParseWebAddress(origin + std::string(folder) + std::string(location));
}

NavigationVerdict DecideNavigation(const WebAddress& home, std::string_view target, bool topLevel,
                                   bool userAsked) {
    const auto address = ParseWebAddress(target);
    if (!address) return NavigationVerdict::Refuse;
    if (address->SameSite(home)) return NavigationVerdict::Stay;
    return topLevel && userAsked ? NavigationVerdict::OpenOutside : NavigationVerdict::Refuse;
}

NavigationVerdict DecideNewWindow(std::string_view target, bool userAsked) {
    return userAsked && ParseWebAddress(target) ? NavigationVerdict::OpenOutside : NavigationVerdict::Refuse;
}

}  // namespace tarvix
