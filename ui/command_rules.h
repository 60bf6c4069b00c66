// The rules of the command dispatcher that need no window: list commands and
// their list kinds, the editing-state cascade of command 40026, the labels and
// states of the list commands of a context menu, and the input conversion mode.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// The ten list commands (40003 ... 40145), in the order of their kinds.
inline constexpr uint32_t kListCommands[] = {40003, 40004, 40006, 40007, 40140, 40139, 40142, 40143, 40138, 40145};

// The list kind a list command selects (40003 -> 1 ... 40145 -> 18), 0 for others.
int32_t ListKindOfCommand(uint32_t id);
// The list command of a kind, 0 when no command selects it.
uint32_t ListCommandOfKind(int32_t kind);
// The number of a list's title (the position of its tab in the full tab
// strip: 40003 0, 40004 1, 40007 2, 40006 3, 40142 4, 40139 5, 40140 6,
// 40143 7), -1 for other commands.
int32_t ListNumberOfCommand(uint32_t id);
// The nine list commands whose menu items are checked (40145 has none).
bool IsCheckedListCommand(uint32_t id);

// Inputs of the editing-state cascade.
struct EditingInputs {
    bool rowDictionary = false;   // R: the current row has a dictionary
    bool rowWorking = false;      // R carries the working-dictionary flag
    int32_t selected = 0;         // n
    int32_t kind = 0;             // K
    bool workingExists = false;   // a working dictionary is on the shelf
    bool hasCurrentRow = false;
};
// Enabled (true), disabled (false) or left as it is (nothing).
struct EditingStates {
    std::optional<bool> edit;            // 40064
    std::optional<bool> copyToWorking;   // 40400
    std::optional<bool> newArticle;      // 40067
    std::optional<bool> newFromClipboard;// 40083
    std::optional<bool> deleteLines;     // 40029
    std::optional<bool> deleteArticle;   // 40066
    std::optional<bool> editAlt;         // 40065
};
EditingStates ComputeEditingStates(const EditingInputs& in);

// Inputs of the relabelling of a context menu's list commands.
struct ListMenuInputs {
    int32_t kind = 0;
    int32_t selected = 0;              // n
    bool hasCurrentRow = false;
    bool workingExists = false;        // W
    std::u16string workingName;        // N: W's file name without folder and extension
    bool rowDictionary = false;        // the current row has a dictionary
    bool rowIsWorking = false;         // ... and it is W
    bool recordDeleted = false;        // D
};
struct ListMenuStates {
    std::u16string deleteLabel;        // 40029 and 40066
    bool editMenuGrey = false;         // the sub-menu holding 40067 (or 40500)
    bool webMenuGrey = false;          // the sub-menu holding 40183, and 40192
    std::u16string copyToWorkingLabel; // 40400
    bool copyToWorking = false;
    bool addToSelected = false;        // 40194
    bool copyAndPrint = false;         // 40647 and 40190
    bool edit = false;                 // 40064
    bool deleteArticle = false;        // 40066
    std::u16string newArticleLabel, newFromClipboardLabel, newFromSelectionLabel;
    bool newArticles = false;          // 40067, 40083, 40500
};
// Labels come from the interface texts' current language.
ListMenuStates ComputeListMenuStates(const ListMenuInputs& in);
// `format` with its "%s" filled with `name` (the first "%s" only).
std::u16string FillName(std::u16string_view format, std::u16string_view name);

// The next input conversion mode of a list (kind 2 alternates 0 and 1; kind 4
// goes 0 or 1 to 2 and 2 to 0); -1 when the kind has none.
int32_t NextConversionMode(int32_t kind, int32_t mode);
