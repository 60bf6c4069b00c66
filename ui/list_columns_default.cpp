// Built-in column layouts by model kind and the header titles of the columns.
#include "ui/list_columns_default.h"

namespace {

struct LayoutRow {
    int32_t modelKind;
    std::vector<PageColumn> columns;
};

const std::vector<LayoutRow>& Layouts() {
    static const std::vector<LayoutRow> rows = {
        {1, {{22, 20}, {16, 20}, {1, 90}, {2, 70}, {4, 320}}},
        {2, {{16, 20}, {2, 90}, {3, 70}, {4, 320}}},
        {5, {{16, 20}, {3, 70}, {2, 90}, {4, 320}}},
        {6, {{16, 20}, {11, 70}, {6, 40}, {10, 320}}},
        {3, {{16, 20}, {6, 40}, {14, 70}, {10, 320}}},
        {16, {{16, 20}, {20, 70}, {6, 40}, {10, 320}}},
        {4, {{16, 20}, {5, 90}, {3, 70}, {4, 320}}},
        {18, {{16, 20}, {2, 90}, {3, 70}, {4, 320}}},
        {20, {{24, 90}, {25, 90}, {26, 90}}},
        {21, {{16, 20}, {2, 90}, {3, 70}, {4, 320}}},
        {22, {{16, 20}, {27, 90}, {28, 90}, {29, 90}}},
        {19, {{16, 20}, {2, 90}, {3, 70}, {4, 320}}},
        {23, {{16, 20}, {30, 70}, {2, 90}, {3, 70}, {4, 320}}},
    };
    return rows;
}

struct TitleRow {
    int32_t kind;
    const char16_t* russian;
    const char16_t* english;
    const char16_t* japanese;
};

constexpr TitleRow kTitles[] = {
    {1, u"Текст", u"Text", u"テキスト"},       {2, u"Произношение", u"Reading", u"読み"},
    {3, u"Иерогл.", u"Kanji", u"漢字"},        {4, u"Перевод", u"Meaning", u"意味"},
    {5, u"Слово", u"Word", u"単語"},           {6, u"Иер.", u"Kanji", u"漢字"},
    {10, u"Название", u"Name", u"名称"},       {11, u"Оны и куны", u"Reading", u"読み"},
    {14, u"Он", u"On", u"On"},                 {20, u"Название", u"Name", u"名称"},
    {24, u"Слово", u"Word", u"単語"},          {25, u"Статей", u"Articles", u"項目の数"},
    {26, u"В словарях", u"Dictionaries", u"辞書の数"},
    {27, u"書名", u"書名", u"書名"},           {28, u"Название", u"Название", u"Название"},
    {29, u"Book Title", u"Book Title", u"Book Title"},
};

bool WordTitledList(int32_t listKind) {
    return listKind == 1 || listKind == 4 || listKind == 13 || listKind == 14 || listKind == 16;
}

const char16_t* Pick(const TitleRow& row, int32_t language) {
    return language == 0 ? row.russian : language == 2 ? row.japanese : row.english;
}

}  // namespace

std::vector<PageColumn> DefaultListColumns(int32_t modelKind) {
    for (const LayoutRow& row : Layouts())
        if (row.modelKind == modelKind) return row.columns;
    return Layouts().front().columns;
}

std::u16string ListColumnTitle(int32_t columnKind, int32_t listKind, int32_t language) {
    if (WordTitledList(listKind) && columnKind == 2) return Pick({2, u"Слово", u"Word", u"単語"}, language);
    if (WordTitledList(listKind) && columnKind == 3) return Pick({3, u"Уточнение", u"Details", u"細部"}, language);
    for (const TitleRow& row : kTitles)
        if (row.kind == columnKind) return Pick(row, language);
    return {};
}
