// The whole-run objects of the program that live in higher layers than the
// common services: the storage engine front end, built first and released
// after the print engine, joined to ProgramGlobals through its hooks.
#pragma once

#include "common/global_objects.h"

class CDMS;

// The hooks that build and release the program's engine.
GlobalObjectHooks ProgramGlobalHooks();
// The program's storage engine front end; null outside the run.
CDMS* ProgramEngine();
