// The parser registrations of the import subsystem, one line per format,
// and the loaders of the public formats' source files.
#include "import/import_registration.h"

#include "dictionary/import_services.h"
#include "import/article_save.h"
#include "import/dsl_import.h"
#include "import/dsl_source_loader.h"
#include "import/edict_import.h"
#include "import/edict_source_loader.h"
#include "import/eijiro_import.h"
#include "import/examples_import.h"
#include "import/kanjidic_import.h"
#include "import/latin_word_list.h"
#include "import/own_markup_import.h"
#include "import/parallel_text_import.h"
#include "import/pdic_import.h"
#include "import/source_loaders.h"
#include "import/tatoeba_import.h"
#include "import/warodai_import.h"
#include "import/yarxi_import.h"

void RegisterImportParsers() {
    FormatParsers ownMarkup;
    ownMarkup.import = ImportRdfText;
    SetFormatParsers(1, ownMarkup);  // word markup, "{\rdf1"
    SetFormatParsers(2, ownMarkup);  // kanji markup, "{\rdf2"
    FormatParsers edict;
    edict.import = ImportEdict;
    SetFormatParsers(3, edict);  // EDICT, ENAMDICT
    SetFormatParsers(4, edict);  // JR-EDICT
    SetFormatParsers(5, edict);  // the EDICT variant
    FormatParsers kanjidic;
    kanjidic.import = ImportKanjidic;
    SetFormatParsers(6, kanjidic);
    SetSourceLoader(SourceRule::EdictFamily, LoadEdictFamilySource);
    SetFormatParsers(7, {ImportPdic, ParsePdicEntry});
    SetSourceLoader(SourceRule::Pdic, LoadPdicSource);
    SetFormatParsers(8, {ImportEijiro, ParseEijiroLine});
    SetSourceLoader(SourceRule::Eijiro, LoadEijiroSource);
    SetFormatParsers(9, FormatParsers{ImportDsl, ParseDslRecordArticle});
    SetSourceLoader(SourceRule::Dsl, ReadSourceWithIncludes);
    SetFormatParsers(10, FormatParsers{ImportWarodai, ParseWarodaiRecordArticle});
    SetSourceLoader(SourceRule::Warodai, ReadUnicodeTextFile);
    SetFormatParsers(11, FormatParsers{ImportExamples, ParseExamplesLine});
    SetSourceLoader(SourceRule::Examples, LoadExamplesSource);
    SetFormatParsers(12, FormatParsers{ImportParallelText, ParseParallelTextArticle});
    SetSourceLoader(SourceRule::ParallelText, LoadParallelTextSource);
    SetFormatParsers(13, FormatParsers{ImportTatoeba, ParseTatoebaArticle});
    SetLanguageSourceLoader(SourceRule::Tatoeba, LoadTatoebaRuleSource);
    FormatParsers yarxi;
    yarxi.import = ImportYarxi;
    SetFormatParsers(14, yarxi);  // YARXI
    SetFormatParsers(15, yarxi);  // YARXI reading-list articles
    SetSourceLoader(SourceRule::Yarxi, LoadYarxiSource);
    FormatParsers latin;
    latin.import = ImportLatin;
    latin.parseArticle = ParseLatinArticle;
    SetFormatParsers(kLatinListFormat, latin);
    SetSourceLoader(SourceRule::LatinList, LoadLatinSource);
    SetArticleIndexRemover(RemoveArticleIndexEntries);
}
