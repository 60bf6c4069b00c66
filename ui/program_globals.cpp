// The program's storage engine, built and released through ProgramGlobals.
#include "ui/program_globals.h"

#include <memory>

#include "storage/dms.h"
#include "storage/storage_io.h"

namespace {
std::unique_ptr<CDMS>& Engine() {
    static std::unique_ptr<CDMS> engine;
    return engine;
}
void CreateEngine() { Engine() = std::make_unique<CDMS>(SystemStorageIO()); }
void DestroyEngine() { Engine().reset(); }
}  // namespace

GlobalObjectHooks ProgramGlobalHooks() {
    GlobalObjectHooks hooks;
    hooks.createEngine = &CreateEngine;
    hooks.destroyEngine = &DestroyEngine;
    return hooks;
}

CDMS* ProgramEngine() { return Engine().get(); }
