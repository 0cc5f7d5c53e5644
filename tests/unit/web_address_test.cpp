// The ad panel's addresses: what is one, where a redirect goes, and where
// the panel may go.
#include <gtest/gtest.h>

#include "user_request.h"
#include "web_address.h"

namespace tarvix {
namespace {

std::string Plain(const std::optional<WebAddress>& address) { return address ? address->Text() : "refused"; }
std::string Plain(std::string_view text) { return Plain(ParseWebAddress(text)); }

TEST(WebAddress, PlainAddressesComeOutInOnePlainForm) {
    const std::pair<const char*, const char*> cases[] = {
        {"HTTPS://WWW.Tarvix.ORG/cn/ad/Ad_Tarvix.htm?x=1#top", "https://www.tarvix.org/cn/ad/Ad_Tarvix.htm?x=1#top"},
        {"http://localhost:8080", "http://localhost:8080/"},
        {"https://a.example:443/x", "https://a.example/x"},
        {"http://a.example:443/x", "http://a.example:443/x"},
        {"https://a.example:65535?q", "https://a.example:65535/?q"},
        {"http://127.0.0.1/", "http://127.0.0.1/"},
        {"https://3com.example/", "https://3com.example/"},
        {"https://www.tarvix.org/@evil.example", "https://www.tarvix.org/@evil.example"},  // the path's @
        {"https://a.example/a%20b/%E4%B8%AD?q=%2F", "https://a.example/a%20b/%E4%B8%AD?q=%2F"},
    };
    for (const auto& [text, plain] : cases) EXPECT_EQ(Plain(text), plain);
    EXPECT_EQ(ParseWebAddress("https://a.example/")->port, 443);
}

// Other schemes; user names and escapes in the host; hosts that are no
// plain ASCII names; numeric hosts but four plain decimals; ports out of
// range or not plain; paths with characters no address holds, or torn escapes.
TEST(WebAddress, AnythingElseIsRefused) {
    for (const char* text :
         {"file:///C:/Windows/win.ini", "javascript://www.tarvix.org/%0aalert(1)", "res://ieframe.dll/navcancl.htm",
          "about:blank", "ftp://www.tarvix.org/", "https:www.tarvix.org/x", "//www.tarvix.org/x", "",
          "https://www.tarvix.org@evil.example/", "https://www.tarvix.org%40evil.example/", "https://%77ww.tarvix.org/",
          "https://www.tarvix.org\\@evil.example/", "https://[::1]/", "https://www.XN--80ak6aa92e.com/",
          "https://www.t\xD0\xB0rvix.org/", "https://www.tarvix.org./", "https://www..tarvix.org/",
          "https://-tarvix.org/", "https://tarvix-.org/", "https://tar_vix.org/", "https://:443/", "http://2130706433/",
          "http://0x7f000001/", "http://0177.0.0.1/", "http://127.1/", "http://127.0.0.1.5/", "http://256.0.0.1/",
          "http://evil.0x1/", "https://a.example:0/", "https://a.example:65536/", "https://a.example:+443/",
          "https://a.example/a b", "https://a.example/a\\b", "https://a.example/%4", "https://a.example/%4z",
          "https://a.example/\xE4\xB8\xAD", "https://a.example/{x}"})
        EXPECT_EQ(Plain(text), "refused") << text;
}

TEST(WebAddress, VeryLongAddressesAreRefusedWithoutHarm) {
    const std::string head = "https://a.example/", label63(63, 'a');
    EXPECT_NE(Plain(head + std::string(kMaxWebAddressLength - head.size(), 'x')), "refused");
    EXPECT_EQ(Plain(head + std::string(kMaxWebAddressLength - head.size() + 1, 'x')), "refused");
    EXPECT_EQ(Plain("https://" + std::string(1 << 20, 'a') + ".example/"), "refused");
    // The plain form adds the "/" before a query; it must still fit.
    EXPECT_EQ(Plain("https://a.example?" + std::string(kMaxWebAddressLength - 18, 'x')), "refused");
    std::string manyLabels = "https://";
    for (int i = 0; i < 200; ++i) manyLabels += "a.";
    EXPECT_EQ(Plain(manyLabels + "example/"), "refused") << "over 253 characters of host";
    EXPECT_NE(Plain("https://" + label63 + ".example/"), "refused");
    EXPECT_EQ(Plain("https://" + label63 + "a.example/"), "refused");
}

// The maker's page, or the test variable's: https anywhere, http only on this machine.
TEST(AdPageAddress, TheMakersPageOrTheTestVariables) {
    const std::pair<const char*, const char*> cases[] = {
        {nullptr, "https://www.tarvix.org/cn/ad/ad_tarvix.htm"}, {"", "https://www.tarvix.org/cn/ad/ad_tarvix.htm"},
        {"https://localhost:8443/cn/ad/ad_tarvix.htm", "https://localhost:8443/cn/ad/ad_tarvix.htm"},
        {"https://ads.example/x", "https://ads.example/x"}, {"HTTP://LocalHost:80/x", "http://localhost/x"},
        {"http://127.0.0.1:9/cn/ad/ad_tarvix.htm", "http://127.0.0.1:9/cn/ad/ad_tarvix.htm"},
        {"http://www.tarvix.org/cn/ad/ad_tarvix.htm", "refused"}, {"http://127.0.0.2/", "refused"},
        {"http://127.1/", "refused"}, {"http://localhost.evil.example/", "refused"}, {"localhost", "refused"},
        {"http://localhost@evil.example/", "refused"}, {"http://evil.example/localhost", "refused"},
        {"file:///C:/ad.htm", "refused"}};
    for (const auto& [text, chosen] : cases) EXPECT_EQ(Plain(ChooseAdPageAddress(text)), chosen) << (text ? text : "");
}

TEST(Redirect, TargetsResolveAgainstThePageTheyCameFrom) {
    const WebAddress from = *ParseWebAddress("https://www.tarvix.org:8443/cn/ad/ad_tarvix.htm?a=1#f");
    const std::pair<const char*, const char*> cases[] = {
        {"https://cdn.example/x", "https://cdn.example/x"},
        {"//cdn.example/x", "https://cdn.example/x"},
        {"/other.htm", "https://www.tarvix.org:8443/other.htm"},
        {"new.htm", "https://www.tarvix.org:8443/cn/ad/new.htm"},
        {"?b=2", "https://www.tarvix.org:8443/cn/ad/ad_tarvix.htm?b=2"},
        {"#g", "https://www.tarvix.org:8443/cn/ad/ad_tarvix.htm?a=1#g"},
        {"http://www.tarvix.org/x", "http://www.tarvix.org/x"},
        {"", "refused"}, {"file:///C:/x", "refused"}, {"https://user@evil.example/", "refused"}, {" /x", "refused"},
    };
    for (const auto& [location, resolved] : cases) EXPECT_EQ(Plain(ResolveRedirect(from, location)), resolved) << location;
}

// The panel stays on its own site (scheme, host and port); other sites go
// outside only when the user asked at the top level; other schemes and
// trick addresses nowhere; a new window never in the panel.
TEST(Navigation, ThePanelStaysOnItsOwnSite) {
    const WebAddress home = *ParseWebAddress("https://www.tarvix.org/cn/ad/ad_tarvix.htm");
    using N = NavigationVerdict;
    const auto verdicts = [&](const char* target) {
        return std::vector<N>{DecideNavigation(home, target, true, false), DecideNavigation(home, target, true, true),
                              DecideNavigation(home, target, false, true), DecideNewWindow(target, false),
                              DecideNewWindow(target, true)};
    };
    const std::vector<N> stay = {N::Stay, N::Stay, N::Stay, N::Refuse, N::OpenOutside};
    const std::vector<N> outside = {N::Refuse, N::OpenOutside, N::Refuse, N::Refuse, N::OpenOutside};
    const std::vector<N> nowhere(5, N::Refuse);
    const std::pair<const char*, const std::vector<N>&> cases[] = {
        {"https://www.tarvix.org/cn/ad/other.htm", stay}, {"HTTPS://WWW.TARVIX.ORG:443/x", stay},
        {"http://www.tarvix.org:443/", outside}, {"https://www.tarvix.org:8443/", outside},
        {"https://tarvix.org/", outside}, {"https://www.tarvix.org.evil.example/", outside},
        {"https://evil.example/www.tarvix.org", outside}, {"https://shop.example/item?id=3", outside},
        {"file:///C:/Windows/System32/calc.exe", nowhere}, {"javascript:location='https://x.example'", nowhere},
        {"about:blank", nowhere}, {"https://xn--tarvx-4ib.org/", nowhere},
        {"https://www.tarvix.org@evil.example/", nowhere},
        {"http://0x7f000001/", nowhere}, {"https://a.example/\" --new-window \"file:///C:/", nowhere}, {"", nowhere},
    };
    for (const auto& [target, expected] : cases) EXPECT_EQ(verdicts(target), expected) << target;
}

TEST(UserRequest, OneInputAllowsOneRequestForAMoment) {
    UserRequestGate gate;
    EXPECT_FALSE(gate.Take(5000)) << "no input yet";
    gate.NoteInput(10000);
    EXPECT_TRUE(gate.Take(11000)) << "a second is the moment";
    EXPECT_FALSE(gate.Take(11000)) << "used up";
    gate.NoteInput(20000);
    EXPECT_FALSE(gate.Take(21001)) << "too late";
    EXPECT_FALSE(gate.Take(20001)) << "a late take still uses it up";
    gate.NoteInput(30000);
    EXPECT_FALSE(gate.Take(29999)) << "a clock that went back";
}

}  // namespace
}  // namespace tarvix
