// The dialog PROPERTY (CProperty): a dictionary's properties, read-only
// (mode 0), or the file, folder and texts of a new personal dictionary
// (mode 1), which the caller creates while the dialog stays open.
#pragma once

#include <windows.h>

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

class CDictionary;

class CProperty {
public:
    struct Texts {
        std::u16string title, author, notes, version, date;
    };

    explicit CProperty(int32_t mode) : mode_(mode) {}
    // 1 after OK, 0 after Cancel.
    INT_PTR DoModal(CDictionary* dictionary, HWND parent);
    void SetPath(std::u16string_view path);
    // Folder, "\" when needed and the file name.
    std::u16string GetPath() const;

    Texts texts;
    uint32_t articleCount = 0;     // properties mode
    uint64_t fileSize = 0;         // properties mode, bytes
    std::u16string language;       // the source language's code, properties mode
    // New dictionary: called at OK with the full path; false keeps the dialog open.
    std::function<bool(const std::u16string& path, const CProperty& property)> create;

    INT_PTR OnInitDialog(HWND dialog);
    INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    void OnOk();
    // Reads the texts back and creates the file; false keeps the dialog.
    bool ReadAndCreate();
    std::u16string ControlText(int id) const;
    void SetControl(int id, std::u16string_view text);

    int32_t mode_;
    HWND dialog_ = nullptr;
    std::u16string folder_, name_;
    bool working_ = false;  // Save is running: commands are ignored
};
