// How a transaction follows an HTTP redirect itself: which statuses send a
// request on, the address the Location header names (a reference resolved
// against the request's URL as RFC 3986 resolves references), the method
// the next request uses (RFC 9110), and how many are followed before the
// request is refused as a loop.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

inline constexpr int32_t kMostRedirects = 10;

// 301, 302, 303, 307 and 308: the request goes on to the Location.
bool IsRedirectStatus(int32_t status);

// The absolute URL `location` names from the request at `base` (an http or
// https URL): absolute, scheme-relative, absolute-path, relative-path and
// query-only references, dot segments removed, the fragment dropped. The
// scheme comes out in lower case. Empty when the result is not http or
// https, or has no host.
std::u16string ResolveRedirectUrl(std::u16string_view base, std::u16string_view location);

// The method of the request that follows: 303 turns anything but HEAD into
// GET, and so do 301 and 302 for POST (as browsers and HTTP libraries do);
// 307 and 308 keep the method and the body.
std::u16string VerbAfterRedirect(int32_t status, std::u16string_view verb);
