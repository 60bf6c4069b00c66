// The decisions of program start that need no window: the first-run window
// rectangle and keeping a rectangle on the screen, the help file and topic
// page, the developer-folder test, the registry usage counters and the
// minutes of use. Application (application.cpp) applies them.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>

struct WindowRect {
    int32_t x = 0, y = 0, width = 0, height = 0;
    int32_t listHeight = 0;   // the split between list and article
};

// First run: 400 x 520 at 96 DPI (or unknown); above 96, DPI x 344 / 96 by
// DPI x 520 / 96; 16 pixels from the right of the full-screen width and 16
// from the top; the list takes the height less 200 (scaled above 96 DPI).
WindowRect FirstRunRect(int32_t dpi, int32_t fullScreenWidth);

// Moves a rectangle back on a screen of the given size: past the right or
// bottom edge it is pulled in, a width or height below 17 becomes 16, and a
// negative x or y becomes 0.
void KeepOnScreen(WindowRect& rect, int32_t screenWidth, int32_t screenHeight);
// The same within a work area that need not start at 0, 0 (the screen less
// the task bar): a rectangle anywhere, however far off (a damaged settings
// file), comes back with its top left corner inside the area.
void KeepOnWorkArea(WindowRect& rect, const WindowRect& area);

// Interface language 0 Russian, 1 English, 2 Japanese (any other: English).
// "OstrelProRu.chm", "OstrelProEn.chm" or "OstrelProJp.chm".
std::u16string_view HelpFileName(int32_t language);
// The help file for the interface language: the first that exists in the
// order Ru, En, Jp (Russian), En, Jp, Ru (English), Jp, En, Ru (Japanese);
// the English file when none exists. `programFolder` ends with a backslash.
std::u16string ChooseHelpFile(int32_t language, std::u16string_view programFolder,
                              const std::function<bool(const std::u16string&)>& exists);
// The page of a help topic, empty for 0 or an unknown id.
std::u16string_view HelpTopicPage(int32_t topic);
// The path handed to the help viewer: `helpFile`, plus "::/html/" and the page
// when the topic has one.
std::u16string HelpTopicPath(std::u16string_view helpFile, int32_t topic);

// True when the program folder holds "\Projects\", "\Ostrel\" and
// "\OstrelPro\", and "\Debug\" or "\Release\".
bool IsDeveloperBuildPath(std::u16string_view programFolder);

// A 16-byte SYSTEMTIME as the registry keeps it.
struct RegistryDate {
    uint16_t year = 0, month = 0, dayOfWeek = 0, day = 0;
    uint16_t hour = 0, minute = 0, second = 0, milliseconds = 0;
};
static_assert(sizeof(RegistryDate) == 16);
// A stored date (missing or short data counts as no date) on the same day as today.
bool IsStoredDateToday(std::span<const uint8_t> stored, const RegistryDate& today);

// The 44-byte usage record of registry value "Statistics"; its 32-bit word
// at byte 36 counts the minutes of use.
inline constexpr size_t kStatisticsBytes = 44;
inline constexpr size_t kStatisticsMinutesOffset = 36;
using StatisticsRecord = std::array<uint8_t, kStatisticsBytes>;
uint32_t StatisticsMinutes(const StatisticsRecord& record);
// Adds the minutes of a run that used `processClockMs` milliseconds of clock.
void AddMinutesOfUse(StatisticsRecord& record, uint64_t processClockMs);
