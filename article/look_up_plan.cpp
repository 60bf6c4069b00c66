// Cleaning a looked-up text, choosing its list and cutting "reading【word】".
#include "article/look_up_plan.h"

#include "common/unicode/japanese_chars.h"

namespace {

using ostrel::japanese::CombineSurrogates;
using ostrel::japanese::IsCjkIdeograph;
using ostrel::japanese::IsHighSurrogate;
using ostrel::japanese::IsKana;
using ostrel::japanese::IsLowSurrogate;

constexpr char16_t kOpenLenticular = u'\u3010';   // 【
constexpr char16_t kCloseLenticular = u'\u3011';  // 】
constexpr size_t kBracketSearchUnits = 100;

std::u16string CleanText(std::u16string_view text) {
    std::u16string clean(text);
    for (char16_t& unit : clean)
        if (unit < 33) unit = u' ';
    while (!clean.empty() && (clean.back() == u' ' || clean.back() == u'\u3000')) clean.pop_back();
    return clean;
}

}  // namespace

int32_t CountHanInText(std::u16string_view text) {
    bool kana = false, latin = false;
    for (size_t i = 0; i < text.size(); ++i) {
        char32_t c = text[i];
        if (IsHighSurrogate(text[i]) && i + 1 < text.size() && IsLowSurrogate(text[i + 1])) {
            c = CombineSurrogates(text[i], text[i + 1]);
            ++i;
        }
        if (IsCjkIdeograph(c)) return 4;
        if (IsKana(c)) kana = true;
        else if (c < 0x2000) latin = true;
    }
    return kana ? 3 : latin ? 8 : 0;
}

LookUpPlan PlanLookUp(std::u16string_view text, uint32_t command,
                      const std::function<bool(int32_t kind)>& listHasWords) {
    LookUpPlan plan;
    if (text.empty()) return plan;
    plan.text = CleanText(text);
    if (plan.text.empty()) return plan;
    plan.run = true;

    if (command == kLookUpTranslated) {
        plan.kind = 1, plan.listCommand = 40003;
    } else if (command == kLookUpInFullText) {
        plan.kind = 14, plan.listCommand = 40139;
    } else {
        switch (CountHanInText(plan.text)) {
        case 8:
            if (listHasWords(4)) plan.kind = 4, plan.listCommand = 40006;
            else plan.kind = 15, plan.listCommand = 40142;
            break;
        case 3:
            plan.kind = 2, plan.listCommand = 40004;
            break;
        default:
            if (listHasWords(5)) plan.kind = 5, plan.listCommand = 40007;
            else plan.kind = 10, plan.listCommand = 40149;
            break;
        }
    }

    if (command != kLookUpLink) return plan;
    const std::u16string_view head = std::u16string_view(plan.text).substr(0, kBracketSearchUnits);
    const size_t open = head.rfind(kOpenLenticular);
    const size_t close = head.rfind(kCloseLenticular);
    if (open == std::u16string_view::npos) return plan;
    if (close != std::u16string_view::npos && close < open) return plan;
    const size_t secondEnd = close == std::u16string_view::npos ? plan.text.size() : close;
    plan.second = plan.text.substr(open + 1, secondEnd - open - 1);
    size_t firstEnd = open;
    if (firstEnd > 0 && plan.text[firstEnd - 1] == u' ') --firstEnd;
    plan.text.resize(firstEnd);
    return plan;
}
