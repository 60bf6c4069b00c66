// The rules of one HTTP transaction that need no network: how a request URL
// splits into host, path, port and scheme, the cache-defeating time tail,
// the Content-Length a reply may announce, how the memory reply grows, and
// the result codes every receiver of a finished request reads.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// Results of a transaction (0 success, the rest failures).
namespace home_result {
inline constexpr int32_t kOk = 0;
inline constexpr int32_t kCreateFile = -1;     // the output file could not be created
inline constexpr int32_t kOpen = -2;           // InternetOpenW
inline constexpr int32_t kConnect = -3;        // InternetConnectW
inline constexpr int32_t kOpenRequest = -4;    // HttpOpenRequestW
inline constexpr int32_t kSend = -5;           // HttpSendRequestW (also: nothing listens)
inline constexpr int32_t kStatus = -6;         // the status code is not 200
inline constexpr int32_t kAllocate = -8;       // reply buffer, or a length beyond what the request may take
inline constexpr int32_t kRead = -9;           // a read failed, stalled, the body is shorter or longer than announced,
                                               // the length is no number, or the headers never ended
inline constexpr int32_t kWrite = -10;         // writing the output file
inline constexpr int32_t kGrow = -11;          // growing the reply buffer (or past the memory cap)
inline constexpr int32_t kCancelled = -14;
inline constexpr int32_t kRedirectLoop = -15;    // more redirects than kMostRedirects
inline constexpr int32_t kRedirectRefused = -16; // a redirect to an address no transfer may follow
}  // namespace home_result

inline constexpr size_t kHomeUrlMaxUnits = 511;
inline constexpr size_t kHomeVerbMaxUnits = 7;
inline constexpr uint16_t kHttpPort = 80;
inline constexpr uint16_t kHttpsPort = 443;

// A request URL taken apart. `valid` is false for a port outside 1-65,535 or
// one that is not a number: such a URL is refused rather than sent elsewhere.
struct HomeUrlParts {
    std::u16string host;
    std::u16string path;   // from the first "/" after the host, inclusive; may be empty
    uint16_t port = kHttpPort;
    bool secure = false;   // "https://": TLS, whatever the port
    bool valid = true;
};

// The length of a leading "http://" or "https://", its letters in either
// case as a URL's scheme may be written; 0 for any other start.
size_t WebSchemeLength(std::u16string_view url);

// "http://" and "https://" (in either case) give port 80 and 443; anything
// else is host and path on port 80. A ":" in the host part starts the port,
// read whether or not a path follows.
HomeUrlParts SplitHomeUrl(std::u16string_view url);

// Appends `separator` and the decimal seconds since 1970.
void AppendTimestampQuery(std::u16string& url, char16_t separator, int64_t secondsSince1970);

// The base URL of a home site: scheme, host, an explicit port when the URL
// named one, and "/", the scheme in lower case. A URL without a scheme gets
// "https://".
std::u16string HomeSiteBaseUrl(std::u16string_view url);

// Reading a reply: pieces of 10,000 bytes; memory replies are capped.
inline constexpr uint32_t kReadPieceBytes = 10000;
inline constexpr int64_t kMemoryReplyCap = 128 * 1024 * 1024;
inline constexpr int64_t kFileReplyCap = 0x7FFFFFFF;
inline constexpr int64_t kDoublingFrom = 50000000;

// A Content-Length header's text as a 64-bit count: blanks and tabs around
// it and leading zeros are allowed; -1 when missing or not a decimal number;
// kContentLengthTooLarge past 18 significant digits, a size no request may take.
inline constexpr int64_t kContentLengthTooLarge = INT64_MAX;
int64_t ParseContentLength(std::u16string_view text);

// Capacity of a new memory reply: the announced length + 1, or 10,000 when
// none (or below 1) was announced. 0 when the length passes the cap.
int64_t InitialReplyCapacity(int64_t contentLength);
// The capacity after growth: ×4, ×2 from 50,000,000 on, repeated until a
// whole piece and the terminating zero fit behind `received`, but never past
// the cap (+1 for the zero); 0 once `received` has reached the cap. Readers
// ask for at most capacity − received − 1 bytes, so every read has room.
int64_t GrownReplyCapacity(int64_t capacity, int64_t received);

// Per mille of `received` against `total` (0 when the total is unknown),
// never above 1000 even when more arrives than was announced.
int32_t ProgressPerMille(int64_t received, int64_t total);
