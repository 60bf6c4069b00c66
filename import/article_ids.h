// What an optimisation needs to carry saved lists over to the rebuilt file:
// every index-0 entry (article id and current record) and the texts of the
// live articles, read from an open dictionary file in index-0 order.
#pragma once

#include <cstdint>
#include <vector>

#include "import/conversion_rules.h"
#include "storage/dms_status.h"

class CDMS;

// Every entry of index 0, removed articles (reference 0) included.
DmsStatus ReadArticleIds(CDMS& engine, int32_t fileId, std::vector<ArticleIdEntry>& entries);
// The live articles (id equal to the reference) with their stored texts, as
// the compiler reads them; a record shorter than its head is left out.
DmsStatus ReadLiveArticles(CDMS& engine, int32_t fileId, std::vector<ArticleAtPosition>& articles);
