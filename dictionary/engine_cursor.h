// EngineCursor: one storage-engine cursor handle on an open file, closed when
// the object goes. The dictionary object's short reads (properties, counts,
// key ranges) and its delete transaction each work through one.
#pragma once

#include <cstdint>

#include "storage/dms.h"

class EngineCursor {
public:
    // Opens a cursor on `fileId`; status() tells whether it worked.
    EngineCursor(CDMS& engine, int32_t fileId) : engine_(engine) { status_ = engine.OpenCursor(fileId, &handle_); }
    ~EngineCursor() {
        if (handle_ != 0) engine_.CloseCursor(handle_);
    }
    EngineCursor(const EngineCursor&) = delete;
    EngineCursor& operator=(const EngineCursor&) = delete;

    DmsStatus status() const { return status_; }
    uint32_t handle() const { return handle_; }
    bool ok() const { return status_ == DmsStatus::Success && handle_ != 0; }
    // Selects `indexId`; the open status when the cursor did not open.
    DmsStatus SelectIndex(int32_t indexId) {
        if (!ok()) return Failed(status_) ? status_ : DmsStatus::WrongHandle;
        return engine_.SelectIndex(handle_, indexId);
    }

private:
    CDMS& engine_;
    uint32_t handle_ = 0;
    DmsStatus status_ = DmsStatus::Success;
};
