// The run's one storage engine, held between the start-up and exit hooks.
#include "storage/global_engine.h"

#include "storage/dms.h"

#include <memory>

namespace {

std::unique_ptr<CDMS> g_engine;

void CreateEngine() {
    if (!g_engine) g_engine = std::make_unique<CDMS>(SystemStorageIO());
}

void DestroyEngine() { g_engine.reset(); }

}  // namespace

CDMS* GlobalEngine() { return g_engine.get(); }

GlobalObjectHooks StorageEngineHooks() {
    GlobalObjectHooks hooks;
    hooks.createEngine = &CreateEngine;
    hooks.destroyEngine = &DestroyEngine;
    return hooks;
}
