// Engine services that need no open file: the collators by kind and the
// free space of a drive. Kept apart from dms.cpp because the collator header
// reaches the system's COM headers in the Windows build.
#include "common/collation/collator.h"
#include "storage/dms.h"

DmsStatus CDMS::GetCollator(int32_t kind, ICollator** out) {
    if (out == nullptr) return DmsStatus::InvalidParameter;
    if (kind == 0) return GetDictionaryCollator(out) == S_OK ? DmsStatus::Success : DmsStatus::CollatorNotFound;
    if (kind == 1 || kind == -1) return GetUcaCollator(out) == S_OK ? DmsStatus::Success : DmsStatus::CollatorNotFound;
    return DmsStatus::InvalidParameter;
}

DmsStatus CheckDiskSpace(std::u16string_view path, uint64_t* available, uint64_t* total, uint64_t* free) {
    DriveSpace space;
    if (SystemStorageIO().FreeSpace(path, space) != IoError::Ok) return DmsStatus::NoDiskSpace;
    if (available != nullptr) *available = space.available;
    if (total != nullptr) *total = space.total;
    if (free != nullptr) *free = space.free;
    return DmsStatus::Success;
}
