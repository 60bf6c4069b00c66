// Redirects followed by the transaction: every example of RFC 3986's
// section 5.4 resolved against its base (the standard's own answers), the
// references no transfer may follow, and the method of the next request.
#include "web/http_redirect.h"

#include <gtest/gtest.h>

namespace {

std::string Narrow(std::u16string_view text) { return std::string(text.begin(), text.end()); }

TEST(HttpRedirect, ReferencesResolveAsTheStandardsExamplesSay) {
    const std::u16string_view base = u"http://a/b/c/d;p?q";
    struct Example {
        std::u16string_view reference, resolved;
    };
    for (Example e : {// 5.4.1, normal
                      Example{u"g", u"http://a/b/c/g"}, Example{u"./g", u"http://a/b/c/g"},
                      Example{u"g/", u"http://a/b/c/g/"}, Example{u"/g", u"http://a/g"}, Example{u"//g", u"http://g/"},
                      Example{u"?y", u"http://a/b/c/d;p?y"}, Example{u"g?y", u"http://a/b/c/g?y"},
                      Example{u"#s", u"http://a/b/c/d;p?q"}, Example{u"g#s", u"http://a/b/c/g"},
                      Example{u"g?y#s", u"http://a/b/c/g?y"}, Example{u";x", u"http://a/b/c/;x"},
                      Example{u"g;x", u"http://a/b/c/g;x"}, Example{u"g;x?y#s", u"http://a/b/c/g;x?y"},
                      Example{u"", u"http://a/b/c/d;p?q"}, Example{u".", u"http://a/b/c/"},
                      Example{u"./", u"http://a/b/c/"}, Example{u"..", u"http://a/b/"}, Example{u"../", u"http://a/b/"},
                      Example{u"../g", u"http://a/b/g"}, Example{u"../..", u"http://a/"},
                      Example{u"../../", u"http://a/"}, Example{u"../../g", u"http://a/g"},
                      // 5.4.2, abnormal
                      Example{u"../../../g", u"http://a/g"}, Example{u"../../../../g", u"http://a/g"},
                      Example{u"/./g", u"http://a/g"}, Example{u"/../g", u"http://a/g"}, Example{u"g.", u"http://a/b/c/g."},
                      Example{u".g", u"http://a/b/c/.g"}, Example{u"g..", u"http://a/b/c/g.."},
                      Example{u"..g", u"http://a/b/c/..g"}, Example{u"./../g", u"http://a/b/g"},
                      Example{u"./g/.", u"http://a/b/c/g/"}, Example{u"g/./h", u"http://a/b/c/g/h"},
                      Example{u"g/../h", u"http://a/b/c/h"}, Example{u"g;x=1/./y", u"http://a/b/c/g;x=1/y"},
                      Example{u"g;x=1/../y", u"http://a/b/c/y"}, Example{u"g?y/./x", u"http://a/b/c/g?y/./x"},
                      Example{u"g?y/../x", u"http://a/b/c/g?y/../x"}, Example{u"g#s/./x", u"http://a/b/c/g"},
                      Example{u"http:g", u"http://a/b/c/g"},
                      // absolute, another scheme of the two, and a port
                      Example{u"HTTPS://b:8443/x?1", u"https://b:8443/x?1"}, Example{u" /a ", u"http://a/a"}})
        EXPECT_EQ(Narrow(ResolveRedirectUrl(base, e.reference)), Narrow(e.resolved)) << Narrow(e.reference);
    // A base of a host alone merges a relative path under "/", and a
    // reference with a host of its own keeps its query.
    for (Example e : {Example{u"g", u"http://a/g"}, Example{u"", u"http://a/?q"}, Example{u"?y", u"http://a/?y"},
                      Example{u"//g?y", u"http://g/?y"}})
        EXPECT_EQ(Narrow(ResolveRedirectUrl(u"http://a?q", e.reference)), Narrow(e.resolved)) << Narrow(e.reference);
    // Nothing a transfer can follow: another scheme, no host.
    for (std::u16string_view refused : {u"g:h", u"ftp://a/b", u"file:///c:/x", u"javascript:alert(1)", u"http:///x"})
        EXPECT_EQ(ResolveRedirectUrl(base, refused), u"") << Narrow(refused);
}

TEST(HttpRedirect, StatusesAndTheMethodOfTheNextRequest) {
    for (int32_t status : {301, 302, 303, 307, 308}) EXPECT_TRUE(IsRedirectStatus(status)) << status;
    for (int32_t status : {200, 300, 304, 305, 306, 309, 404}) EXPECT_FALSE(IsRedirectStatus(status)) << status;
    EXPECT_EQ(VerbAfterRedirect(301, u"POST"), u"GET");
    EXPECT_EQ(VerbAfterRedirect(302, u"POST"), u"GET");
    EXPECT_EQ(VerbAfterRedirect(303, u"POST"), u"GET");
    EXPECT_EQ(VerbAfterRedirect(303, u"HEAD"), u"HEAD");
    EXPECT_EQ(VerbAfterRedirect(307, u"POST"), u"POST");
    EXPECT_EQ(VerbAfterRedirect(308, u"POST"), u"POST");
    EXPECT_EQ(VerbAfterRedirect(301, u"GET"), u"GET");
}

}  // namespace
