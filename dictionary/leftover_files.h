// The program's own files beside a file it writes, and their removal when a
// run that was cut short (killed, a power cut) left them. Each is the file's
// whole name with a suffix ending in "~", so no name a user gives a file of
// their own is taken for one:
//
//   "<name>.tmp~", "<name>.<n>.tmp~"  new content being written: a compile,
//                                      an export, a text-book save (n when
//                                      the first name is still in use)
//   "<name>.new~"                      an optimised dictionary not yet put in
//                                      the dictionary's place
//   "<name>.books~"                    the dictionary as it was before a book
//                                      load, kept by older builds while they
//                                      wrote into the dictionary itself
//
// A leftover's own leftovers chain the suffixes ("<name>.1.tmp~.tmp~": a
// compile's copy of the file a book load compiles into) and belong to <name>.
//
// A dictionary file being built has its journal beside it (the storage
// engine's "<stem>.trn"); it goes with the file when no other file owns it.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// "<target>.tmp~" for n = 0, else "<target>.<n>.tmp~".
std::u16string LeftoverTemporaryPath(std::u16string_view target, int32_t n = 0);
// "<dictionary>.new~".
std::u16string OptimizedDictionaryPath(std::u16string_view dictionary);

// Deletes the temporaries earlier writes of `target` left beside it (those
// still open elsewhere stay); the number deleted.
int32_t RemoveLeftoverTemporaries(std::u16string_view target);
// A dictionary's leftovers: an older build's kept copy is put back in the
// dictionary's place (the dictionary beside it is the half-built one), an
// optimised file never swapped in and every temporary are deleted. The
// number of files put back or deleted.
int32_t TidyDictionaryLeftovers(std::u16string_view dictionary);
// TidyDictionaryLeftovers for every dictionary (".qdx") of the folder that
// has leftovers, also one whose own file was never made (a new dictionary's
// cut compile). Other files' temporaries wait for their next write.
int32_t TidyFolderLeftovers(std::u16string_view folder);
