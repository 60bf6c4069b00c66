// The run's one storage engine: built and released by the start-up and exit
// sequence of the whole-run objects (ProgramGlobals), which orders it before
// the collators' release. Code of the program reaches it through GlobalEngine().
#pragma once

#include "common/global_objects.h"

class CDMS;

// The engine between start-up and exit; null before and after.
CDMS* GlobalEngine();
// The hooks that build the engine (over the system's file I/O, with the
// default cache) and destroy it, closing every file still open. The
// program's entry passes them to its ProgramGlobals.
GlobalObjectHooks StorageEngineHooks();
