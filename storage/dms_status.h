// DmsStatus: the result of every storage engine operation, and the fixed
// English texts callers show for them. The numbers are stored in logs and
// compared by callers, so they never change; some codes are never produced
// by the engine and keep their texts for callers that test for them.
#pragma once

#include <cstdint>

enum class DmsStatus : int32_t {
    Success = 0,
    CannotOpenFile = 1,
    CannotCreateFile = 2,
    WrongHandle = 3,
    RecordNotFound = 4,
    EndOfFile = 5,
    NoCurrentPosition = 6,
    TooManyFiles = 7,
    WrongFile = 8,
    PageLoadFailed = 9,
    PageCreationFailed = 10,
    FileIoError = 11,
    OperationNotAllowed = 12,
    CannotOpenJournal = 13,
    CannotCreateJournal = 14,
    BrokenJournal = 15,
    NotEnoughMemory = 16,
    JournalIoError = 17,
    BrokenAfterRollback = 18,
    FileAlreadyOpened = 19,
    CancelledByCaller = 24,
    InvalidCallArgument = 25,
    WrongFileDescription = 26,
    WrongRecordType = 27,
    WrongKeyId = 28,
    WrongFieldType = 29,
    FileNotOpened = 30,
    SmallPageSize = 31,
    FileAlreadyExists = 32,
    RecordChanged = 33,
    RecordDeleted = 34,
    CannotStartTransaction = 35,
    NotInTransaction = 36,
    InvalidKeyValues = 37,
    NoDiskSpace = 38,
    WrongVersion = 39,
    PatAlreadyExists = 40,
    CannotAssignPosition = 41,
    WrongPatSignature = 42,
    Cancelled = 43,
    Deleted = 44,
    InvalidParameter = 45,
    AlreadyInTransaction = 46,
    CollatorNotFound = 47,
    IntegrityBroken = 100,
    // 101..107: "Data integrity broken N", each naming one kind of damage.
    IntegrityBroken2 = 102,
    IntegrityBroken4 = 104,
    IntegrityBroken7 = 107,
    // A page whose stored place is unknown, or a compressed page that
    // cannot be made or expanded. Shown through "Unknown error (%d)".
    PageNotStored = 255,
};

inline int32_t StatusCode(DmsStatus s) { return static_cast<int32_t>(s); }
inline bool Failed(DmsStatus s) { return s != DmsStatus::Success; }
// A failure that is not "nothing there": the engine refused the read (a
// damaged page, an input/output error, ...). Callers that search take 4 and
// 5 as the end of what they look for; every other failure must reach the user.
inline bool IsReadRefusal(DmsStatus s) {
    return Failed(s) && s != DmsStatus::RecordNotFound && s != DmsStatus::EndOfFile;
}

// Copies the English text of `code` into `buffer` (cut to size - 1 units and
// always terminated). 16 when the buffer is null or the size below 1, else 0.
// `reserved` is kept for callers that pass a language; it has no effect.
DmsStatus DmsErrorText(int32_t code, int32_t reserved, char16_t* buffer, int32_t size);
