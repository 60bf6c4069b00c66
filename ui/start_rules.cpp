// The window rectangle, help, developer-folder and usage-counter rules of
// program start.
#include "ui/start_rules.h"

#include <algorithm>
#include <cstring>

WindowRect FirstRunRect(int32_t dpi, int32_t fullScreenWidth) {
    WindowRect rect;
    rect.width = 400;
    rect.height = 520;
    int32_t listMargin = 200;
    if (dpi > 96) {
        rect.width = dpi * 344 / 96;
        rect.height = dpi * 520 / 96;
        listMargin = dpi * 200 / 96;
    }
    rect.x = fullScreenWidth - 16 - rect.width;
    rect.y = 16;
    rect.listHeight = rect.height - listMargin;
    return rect;
}

void KeepOnScreen(WindowRect& rect, int32_t screenWidth, int32_t screenHeight) {
    KeepOnWorkArea(rect, WindowRect{0, 0, screenWidth, screenHeight});
}

void KeepOnWorkArea(WindowRect& rect, const WindowRect& area) {
    // In 64 bits: a damaged x near the largest int would wrap past the edge.
    const int64_t right = int64_t{area.x} + area.width, bottom = int64_t{area.y} + area.height;
    int64_t x = rect.x, y = rect.y;
    if (x + rect.width >= right) x = right - rect.width;
    if (y + rect.height >= bottom) y = bottom - rect.height;
    if (rect.width < 17) rect.width = 16;
    if (rect.height < 17) rect.height = 16;
    rect.x = static_cast<int32_t>(std::max<int64_t>(x, area.x));
    rect.y = static_cast<int32_t>(std::max<int64_t>(y, area.y));
}

std::u16string_view HelpFileName(int32_t language) {
    switch (language) {
    case 0: return u"OstrelProRu.chm";
    case 2: return u"OstrelProJp.chm";
    default: return u"OstrelProEn.chm";
    }
}

std::u16string ChooseHelpFile(int32_t language, std::u16string_view programFolder,
                              const std::function<bool(const std::u16string&)>& exists) {
    static constexpr int32_t kOrder[3][3] = {{0, 1, 2}, {1, 2, 0}, {2, 1, 0}};
    int32_t row = language == 0 ? 0 : language == 2 ? 2 : 1;
    for (int32_t candidate : kOrder[row]) {
        std::u16string path(programFolder);
        path += HelpFileName(candidate);
        if (exists(path)) return path;
    }
    std::u16string path(programFolder);
    path += HelpFileName(1);
    return path;
}

namespace {
struct HelpTopic {
    int32_t id;
    const char16_t* page;
};
constexpr HelpTopic kHelpTopics[] = {
    {101, u"purpose.htm"},          {102, u"requirements.htm"},      {106, u"searchlist.htm"},
    {107, u"monitorie.htm"},        {108, u"monitorclipboard.htm"},  {109, u"list_readings.htm"},
    {110, u"list_russian.htm"},     {111, u"list_translation.htm"},  {120, u"edit_words.htm"},
    {123, u"addic.htm"},            {124, u"addic.htm#hid_adddicweb"}, {127, u"list_history.htm"},
    {130, u"support.htm"},          {131, u"settings_topmost.htm"},  {132, u"settings_language.htm"},
    {133, u"settings_font.htm"},    {134, u"settings_hide.htm"},     {135, u"settings_translit.htm"},
    {136, u"settings_trayicon.htm"}, {138, u"settings_windows.htm"}, {139, u"list_kanji.htm"},
    {142, u"import.htm"},           {143, u"imported_types.htm"},    {144, u"article.htm"},
    {145, u"print.htm"},            {146, u"list_search.htm"},       {147, u"list_lexicon.htm"},
    {148, u"list_selected.htm"},        {149, u"settings_list.htm"},     {152, u"book.htm"},
    {153, u"book_add.htm"},
};
}  // namespace

std::u16string_view HelpTopicPage(int32_t topic) {
    if (topic == 0) return {};
    for (const HelpTopic& entry : kHelpTopics)
        if (entry.id == topic) return entry.page;
    return {};
}

std::u16string HelpTopicPath(std::u16string_view helpFile, int32_t topic) {
    std::u16string path(helpFile);
    std::u16string_view page = HelpTopicPage(topic);
    if (!page.empty()) {
        path += u"::/html/";
        path += page;
    }
    return path;
}

bool IsDeveloperBuildPath(std::u16string_view folder) {
    auto has = [folder](std::u16string_view part) { return folder.find(part) != std::u16string_view::npos; };
    return has(u"\\Projects\\") && has(u"\\Ostrel\\") && has(u"\\OstrelPro\\") &&
           (has(u"\\Debug\\") || has(u"\\Release\\"));
}

bool IsStoredDateToday(std::span<const uint8_t> stored, const RegistryDate& today) {
    if (stored.size() < sizeof(RegistryDate)) return false;
    RegistryDate date;
    std::memcpy(&date, stored.data(), sizeof(date));
    return date.year == today.year && date.month == today.month && date.day == today.day;
}

uint32_t StatisticsMinutes(const StatisticsRecord& record) {
    uint32_t minutes;
    std::memcpy(&minutes, record.data() + kStatisticsMinutesOffset, sizeof(minutes));
    return minutes;
}

void AddMinutesOfUse(StatisticsRecord& record, uint64_t processClockMs) {
    uint32_t minutes = StatisticsMinutes(record) + static_cast<uint32_t>(processClockMs / 60000);
    std::memcpy(record.data() + kStatisticsMinutesOffset, &minutes, sizeof(minutes));
}
