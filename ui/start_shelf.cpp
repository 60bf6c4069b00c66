// FrameShelf as start-up opens the dictionaries (IStartShelf): the settings
// slots become dictionaries on the shelf, opened read-only; a failure is
// shown in the engine's error box.
#include <algorithm>

#include "common/settings/settings_file.h"
#include "common/ui_text/ui_text.h"
#include "dictionary/dictionary.h"
#include "dictionary/dictionary_properties.h"
#include "dictionary/dictionary_schema.h"
#include "ui/application.h"
#include "ui/convert_dialog.h"
#include "ui/frame.h"
#include "ui/frame_shelf.h"
#include "ui/old_dictionaries_dialog.h"

namespace {

constexpr int32_t kReadOnly = 2;
constexpr int32_t kCannotOpenCaption = 542;
constexpr int32_t kCannotOpenLabel = 543;
constexpr int32_t kFirstCounted = 100;   // AnyOpen looks at this many dictionaries

RDFDictionary* AsDictionary(ShelfEntry entry) { return static_cast<RDFDictionary*>(entry); }

std::u16string_view Slot(int32_t slot) {
    const char16_t* text = slot >= 0 && slot < kUIStringCount ? UIStringTable[slot] : nullptr;
    return text ? text : u"";
}

std::u16string_view FileTitle(std::u16string_view path) {
    size_t slash = path.find_last_of(u"\\/");
    std::u16string_view name = slash == std::u16string_view::npos ? path : path.substr(slash + 1);
    size_t dot = name.find_last_of(u'.');
    return dot == std::u16string_view::npos ? name : name.substr(0, dot);
}

}  // namespace

ShelfEntry FrameShelf::FindByPath(std::u16string_view path) { return shelf_->FindByPath(path); }

ShelfEntry FrameShelf::AddDictionary(uint32_t flags, std::u16string_view path, bool atHead) {
    return atHead ? shelf_->InsertDictionary(flags, path) : shelf_->AddDictionary(flags, path);
}

bool FrameShelf::OpenDictionary(ShelfEntry entry) {
    RDFDictionary* dictionary = AsDictionary(entry);
    if (!dictionary) return false;
    uint32_t status = dictionary->Open(kReadOnly);
    if (status != 0) {
        // A dictionary the engine refused (a damaged file among them) stays
        // on the shelf closed: never shown with blank rows.
        if (dictionary->flags & kDictionaryOpen) dictionary->Close();
        dictionary->ShowError(frame_.Window(), Slot(kCannotOpenCaption), Slot(kCannotOpenLabel), status);
        return false;
    }
    return (dictionary->flags & kDictionaryOpen) != 0;
}

bool FrameShelf::IsOpen(ShelfEntry entry) {
    RDFDictionary* dictionary = AsDictionary(entry);
    return dictionary && (dictionary->flags & kDictionaryOpen) != 0;
}

bool FrameShelf::AnyOpen() {
    int32_t count = std::min(shelf_->DictionaryCount(), kFirstCounted);
    for (int32_t i = 0; i < count; ++i)
        if (shelf_->GetDictionary(i)->flags & kDictionaryOpen) return true;
    return false;
}

bool FrameShelf::HasEditable() {
    for (int32_t i = 0; i < shelf_->DictionaryCount(); ++i)
        if (shelf_->GetDictionary(i)->flags & kDictionaryEditable) return true;
    return false;
}

std::u16string FrameShelf::MakePersonalDictionaryName(std::u16string_view folder) {
    return shelf_->MakePersonalDictionaryName(folder);
}

void FrameShelf::CreatePersonalDictionary(std::u16string_view path) {
    // The personal marker is what makes the dictionary editable when it is
    // opened again: without it the next start finds no working dictionary.
    std::u16string version;
    FormatVersionString(version, 0, false, true);
    RDFDictionary* made =
        shelf_->CreatePersonalDictionary(std::u16string(path), std::u16string(FileTitle(path)), u"", u"", version);
    if (made) shelf_->SetWorkingDictionary(made);
}

void FrameShelf::SelectWorkingDictionaryByPath(std::u16string_view path) { shelf_->SelectWorkingDictionaryByPath(path); }

// A source file given at start goes through the conversion dialog; empty
// when it was closed without converting.
std::u16string FrameShelf::ConvertSourceFile(std::u16string_view source) {
    std::u16string target;
    return RunOpenConvertDialog(frame_.Window(), source, target) == 1 ? target : std::u16string();
}

void FrameShelf::SaveDictionaryList() {
    if (g_application && g_application->ini) shelf_->SaveDictionaryList(*g_application->ini);
}

void FrameShelf::Refresh() { shelf_->Refresh(); }

void FrameShelf::ResetListViews() { shelf_->ResetListViews(); }

void FrameShelf::WarnOldDictionaries() { shelf_->WarnOldDictionaries(); }

void FrameShelf::WarnOfOldDictionaries(int32_t) { ShowOldDictionariesWarning(frame_.Window(), frame_.Window()); }
