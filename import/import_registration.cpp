// The parser registrations of the import subsystem, one line per format.
// The loaders that read whole source files join in source_loaders.cpp.
#include "import/import_registration.h"

#include "dictionary/import_services.h"
#include "import/own_markup_import.h"

void RegisterImportParsers() {
    FormatParsers ownMarkup;
    ownMarkup.import = ImportOwnMarkup;
    SetFormatParsers(1, ownMarkup);  // word markup, "{\rdf1"
    SetFormatParsers(2, ownMarkup);  // kanji markup, "{\rdf2"
}
