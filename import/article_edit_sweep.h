// Random single-article changes of a dictionary through the editor's save
// core, and the checks of the result: every key index and the full-text
// index against a fresh compile of the articles left, and every article id
// kept in a list against the latest text saved under it. For the qdxedit
// tool and the tests.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <vector>

class CDictionary;
class CDMS;

struct EditSweep {
    uint32_t replacements = 0, removals = 0, additions = 0;
    uint32_t editsOfEditedIds = 0;         // replacements of an id edited before
    std::vector<double> saveSeconds;       // one per change
    std::vector<double> replaceSeconds;    // one per replacement
    std::vector<std::string> failures;     // changes the save core refused
    std::map<uint32_t, std::u16string> latest;  // id -> the text saved last (what lists hold)
    std::vector<uint32_t> removed;         // ids removed
};

// `count` changes chosen by `seed`: replacing an article by the text of
// another one, removing one, adding one; ids already edited are chosen
// again on purpose. The texts are the dictionary's own articles (own markup).
EditSweep RunRandomEdits(CDictionary& dictionary, uint32_t count, uint32_t seed);

// Differences between the dictionary (open) and a fresh compile of its live
// articles into `scratchPath` (deleted afterwards); empty when the same.
std::vector<std::string> CompareWithFreshCompile(CDictionary& dictionary, const std::u16string& scratchPath);

// Ids whose article is not the text saved last, or removed ids still live.
std::vector<std::string> CheckIdsLeadToLatestTexts(CDictionary& dictionary, const EditSweep& sweep);

// The live articles' texts in index-0 order.
std::vector<std::pair<uint32_t, std::u16string>> LiveArticles(CDMS& engine, int32_t fileId);
