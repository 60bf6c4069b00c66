// List kinds, editing states and context-menu rules of the dispatcher.
#include "ui/command_rules.h"

#include "common/ui_text/ui_text.h"

namespace {
struct ListCommand {
    uint32_t id;
    int32_t kind;
};
constexpr ListCommand kCommandKinds[] = {{40003, 1},  {40004, 2},  {40006, 4},  {40007, 5},  {40140, 13},
                                         {40139, 14}, {40142, 15}, {40143, 16}, {40138, 17}, {40145, 18}};

// Interface-text slots of the menu labels.
constexpr int kDeleteArticleSlot = 66, kDeleteLinesSlot = 84, kCopyToWorkingSlot = 76;
constexpr int kNewArticleSlot = 64, kNewFromClipboardSlot = 65, kNewFromSelectionSlot = 71;
}  // namespace

int32_t ListKindOfCommand(uint32_t id) {
    for (const ListCommand& entry : kCommandKinds)
        if (entry.id == id) return entry.kind;
    return 0;
}

uint32_t ListCommandOfKind(int32_t kind) {
    for (const ListCommand& entry : kCommandKinds)
        if (entry.kind == kind) return entry.id;
    return 0;
}

int32_t ListNumberOfCommand(uint32_t id) {
    static constexpr uint32_t kTabOrder[] = {40003, 40004, 40007, 40006, 40142, 40139, 40140, 40143};
    for (int32_t i = 0; i < 8; ++i)
        if (kTabOrder[i] == id) return i;
    return -1;
}

bool IsCheckedListCommand(uint32_t id) { return id != 40145 && ListKindOfCommand(id) != 0; }

EditingStates ComputeEditingStates(const EditingInputs& in) {
    EditingStates s;
    s.edit = in.selected == 1 && in.rowWorking;
    if (!in.workingExists) {
        s.copyToWorking = s.newArticle = s.newFromClipboard = false;
    } else {
        s.newArticle = s.newFromClipboard = true;
        s.copyToWorking = in.selected == 1 && in.rowDictionary && !in.rowWorking;
    }
    if (!in.rowDictionary) {
        s.deleteLines = s.deleteArticle = s.edit = s.editAlt = false;
        return s;
    }
    if (in.rowWorking) {
        if (in.kind == 1 || in.kind == 13)
            s.deleteLines = s.deleteArticle = s.edit = s.editAlt = in.selected > 0;
        else if (in.kind == 2 || in.kind == 4)
            s.deleteLines = s.deleteArticle = s.edit = s.editAlt = in.hasCurrentRow;
    } else {
        if (in.kind == 1 || in.kind == 13) s.deleteLines = in.selected > 0;
        else if (in.kind == 2 || in.kind == 4) s.deleteLines = false;
    }
    if (in.kind == 16) s.deleteLines = s.deleteArticle = false;
    return s;
}

std::u16string FillName(std::u16string_view format, std::u16string_view name) {
    std::u16string text(format);
    size_t at = text.find(u"%s");
    if (at != std::u16string::npos) text.replace(at, 2, name);
    return text;
}

ListMenuStates ComputeListMenuStates(const ListMenuInputs& in) {
    ListMenuStates s;
    std::u16string_view name = in.workingExists ? std::u16string_view(in.workingName) : u"...";
    bool linesList = in.kind == 13 || in.kind == 16;
    s.deleteLabel = UIStringTable[linesList ? kDeleteLinesSlot : kDeleteArticleSlot];
    s.editMenuGrey = !in.workingExists;
    s.webMenuGrey = in.selected == 0 || !in.hasCurrentRow;
    s.copyToWorkingLabel = FillName(UIStringTable[kCopyToWorkingSlot], name);
    bool oneRow = in.selected == 1;
    s.copyToWorking = in.workingExists && in.rowDictionary && !in.rowIsWorking && oneRow && in.kind != 15;
    s.addToSelected = in.selected > 0 && in.hasCurrentRow && in.kind != 13 && in.kind != 15 && !in.recordDeleted;
    s.copyAndPrint = !(in.kind == 15 || in.selected == 0 || in.recordDeleted);
    s.edit = in.rowIsWorking && in.workingExists && oneRow && in.kind != 15;
    s.deleteArticle = in.workingExists && in.rowIsWorking && oneRow && in.kind != 15 && in.kind != 16 &&
                      !in.recordDeleted;
    s.newArticleLabel = FillName(UIStringTable[kNewArticleSlot], name);
    s.newFromClipboardLabel = FillName(UIStringTable[kNewFromClipboardSlot], name);
    s.newFromSelectionLabel = FillName(UIStringTable[kNewFromSelectionSlot], name);
    s.newArticles = in.workingExists;
    return s;
}

int32_t NextConversionMode(int32_t kind, int32_t mode) {
    if (kind == 2) return mode == 0 ? 1 : 0;
    if (kind == 4) return mode == 2 ? 0 : 2;
    return -1;
}
