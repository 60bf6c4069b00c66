// CDMS index operations: the handle operations that select an index and
// seek, step, move, count, insert and delete through the cursor's B-tree
// (index_tree.h). Each runs the common steps of a cursor call (CDMS::Call).
#include "storage/dms.h"

#include "storage/index_tree.h"

namespace {

// A cursor call on the cursor's current index: the common steps, then the
// tree, then the failure step. Changes write back in mode 0 outside a
// transaction; a failed change is undone by the failure step.
template <typename Work>
DmsStatus OnIndex(CDMS& engine, uint32_t handle, DmsOperation op, bool writes, Work&& work) {
    CDMS::Call call(engine, handle, op, writes);
    if (Failed(call.status())) return call.Finish(call.status());
    DmsStatus st;
    {
        IndexTree tree(call.file(), *call.cursor());
        st = tree.Open();
        if (!Failed(st)) st = work(tree);
    }  // the tree's pins end here
    if (!Failed(st) && writes) st = call.file().WriteBackIfJournaled();
    return call.Finish(st);
}

}  // namespace

DmsStatus CDMS::SelectIndex(uint32_t handle, int32_t keyId) {
    Call call(*this, handle, DmsOperation::SelectIndex, false);
    if (Failed(call.status())) return call.Finish(call.status());
    XCursor* c = call.cursor();
    if (c->keyId == keyId && c->indexPosition >= 0) return DmsStatus::Success;
    int32_t position = call.file().Description().FindIndex(keyId);
    if (position < 0) return call.Finish(DmsStatus::WrongKeyId);
    c->indexPosition = position;
    c->keyId = keyId;
    // The path belongs to the old index.
    c->positioned = false;
    c->depth = -1;
    return DmsStatus::Success;
}

DmsStatus CDMS::InsertKey(uint32_t handle, const KeySegmentValue* key, RecordRef ref) {
    XCursor* c = FindCursor(handle);
    OpenedFile* f = c != nullptr ? FindByFile(*c->file) : nullptr;
    if (f != nullptr && f->bulk.Active() && c->indexPosition >= 0 && f->bulk.KeyId() == c->keyId) {
        Call call(*this, handle, DmsOperation::InsertKey, true);
        if (Failed(call.status())) return call.Finish(call.status());
        return call.Finish(CollectBulkEntry(call, key, ref));
    }
    return OnIndex(*this, handle, DmsOperation::InsertKey, true,
                   [&](IndexTree& t) { return t.InsertKey(key, ref); });
}

DmsStatus CDMS::Seek(uint32_t handle, const KeySegmentValue* key, KeySegmentValue* out, EntryPosition* position) {
    return OnIndex(*this, handle, DmsOperation::Seek, false,
                   [&](IndexTree& t) { return t.Seek(key, IndexTree::Equal, out, position); });
}

DmsStatus CDMS::SeekGreaterOrEqual(uint32_t handle, const KeySegmentValue* key, KeySegmentValue* out,
                                   EntryPosition* position) {
    return OnIndex(*this, handle, DmsOperation::SeekGreaterOrEqual, false,
                   [&](IndexTree& t) { return t.Seek(key, IndexTree::GreaterOrEqual, out, position); });
}

DmsStatus CDMS::SeekGreater(uint32_t handle, const KeySegmentValue* key, KeySegmentValue* out,
                            EntryPosition* position) {
    return OnIndex(*this, handle, DmsOperation::SeekGreater, false,
                   [&](IndexTree& t) { return t.Seek(key, IndexTree::Greater, out, position); });
}

DmsStatus CDMS::SeekLessOrEqual(uint32_t handle, const KeySegmentValue* key, KeySegmentValue* out,
                                EntryPosition* position) {
    return OnIndex(*this, handle, DmsOperation::SeekLessOrEqual, false,
                   [&](IndexTree& t) { return t.SeekLessOrEqual(key, out, position); });
}

DmsStatus CDMS::First(uint32_t handle, KeySegmentValue* out, EntryPosition* position) {
    return OnIndex(*this, handle, DmsOperation::First, false, [&](IndexTree& t) { return t.First(out, position); });
}

DmsStatus CDMS::Last(uint32_t handle, KeySegmentValue* out, EntryPosition* position) {
    return OnIndex(*this, handle, DmsOperation::Last, false, [&](IndexTree& t) { return t.Last(out, position); });
}

DmsStatus CDMS::Next(uint32_t handle, KeySegmentValue* out, EntryPosition* position) {
    return OnIndex(*this, handle, DmsOperation::Next, false, [&](IndexTree& t) { return t.Next(out, position); });
}

DmsStatus CDMS::Prev(uint32_t handle, KeySegmentValue* out, EntryPosition* position) {
    return OnIndex(*this, handle, DmsOperation::Prev, false, [&](IndexTree& t) { return t.Prev(out, position); });
}

DmsStatus CDMS::GetOrdinal(uint32_t handle, uint32_t* ordinal) {
    return OnIndex(*this, handle, DmsOperation::GetOrdinal, false,
                   [&](IndexTree& t) { return t.GetOrdinal(ordinal); });
}

DmsStatus CDMS::MoveToOrdinal(uint32_t handle, uint32_t ordinal, KeySegmentValue* out, EntryPosition* position) {
    return OnIndex(*this, handle, DmsOperation::MoveToOrdinal, false,
                   [&](IndexTree& t) { return t.MoveToOrdinal(ordinal, out, position); });
}

DmsStatus CDMS::CompareKeys(uint32_t handle, const KeySegmentValue* a, const KeySegmentValue* b, int32_t* result) {
    return OnIndex(*this, handle, DmsOperation::CompareKeys, false,
                   [&](IndexTree& t) { return t.CompareKeyValues(a, b, result); });
}

DmsStatus CDMS::GetIndexStats(uint32_t handle, IndexStats* stats) {
    return OnIndex(*this, handle, DmsOperation::GetIndexStats, false,
                   [&](IndexTree& t) { return t.GetIndexStats(stats); });
}

DmsStatus CDMS::GetCount(uint32_t handle, uint32_t* count) {
    return OnIndex(*this, handle, DmsOperation::GetCount, false, [&](IndexTree& t) {
        if (count == nullptr) return DmsStatus::InvalidParameter;
        *count = t.GetCount();
        return DmsStatus::Success;
    });
}

DmsStatus CDMS::UpdateCurrentKeyReference(uint32_t handle, RecordRef ref) {
    return OnIndex(*this, handle, DmsOperation::UpdateCurrentKeyReference, true,
                   [&](IndexTree& t) { return t.UpdateCurrentKeyReference(ref); });
}

DmsStatus CDMS::DeleteCurrent(uint32_t handle) {
    return OnIndex(*this, handle, DmsOperation::DeleteCurrent, true,
                   [&](IndexTree& t) { return t.DeleteCurrent(); });
}
