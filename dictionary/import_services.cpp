// The registry of the import subsystem's parsers, importers and article index
// remover, filled at start-up and read by the dictionary object.
#include "dictionary/import_services.h"

namespace {

FormatParsers g_parsers[kLastFormatType + 1];
ArticleIndexRemover g_remover = nullptr;

bool KnownFormat(uint32_t formatType) { return formatType >= kFirstFormatType && formatType <= kLastFormatType; }

}  // namespace

FormatParsers SetFormatParsers(uint32_t formatType, const FormatParsers& parsers) {
    if (!KnownFormat(formatType)) return {};
    FormatParsers previous = g_parsers[formatType];
    g_parsers[formatType] = parsers;
    return previous;
}

FormatParsers GetFormatParsers(uint32_t formatType) {
    return KnownFormat(formatType) ? g_parsers[formatType] : FormatParsers{};
}

ArticleIndexRemover SetArticleIndexRemover(ArticleIndexRemover remover) {
    ArticleIndexRemover previous = g_remover;
    g_remover = remover;
    return previous;
}

ArticleIndexRemover GetArticleIndexRemover() { return g_remover; }
