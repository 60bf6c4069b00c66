// The dictionary schema text as the dictionaries pass it to the engine
// (1095 characters), rebuilt here from its clauses: the engine's golden case.
#pragma once

#include <string>

inline std::string DictionarySchemaForTests() {
    struct Clause {
        const char* head;
        std::initializer_list<const char*> segments;
    };
    const Clause clauses[] = {
        {"{Index Id=0 ", {"Long"}},
        {"{Index Id=1 ", {"Word"}},
        {"{Index Id=101", {"UString Sort=WK", "UString"}},
        {"{Index Id=102", {"UString", "UString Sort=WK"}},
        {"{Index Id=105", {"UString", "Word"}},
        {"{Index Id=106", {"UString", "Word"}},
        {"{Index Id=107", {"Word", "Word", "Long", "Byte"}},
        {"{Index Id=108", {"UString", "Word"}},
        {"{Index Id=110", {"UString"}},
        {"{Index Id=111", {"Long"}},
        {"{Index Id=121", {"UString", "UString Sort=NoSort"}},
        {"{Index Id=201", {"Word"}},
        {"{Index Id=202", {"UString Sort=KK", "Word"}},
        {"{Index Id=203", {"UString", "Word"}},
        {"{Index Id=204}", {"Byte", "Word", "Word"}},
        {"{Index Id=2 ", {"Long"}},
        {"{Index Id=3 ", {"Long", "Long", "Long"}},
    };
    std::string text = "{Dictionary PageSize=4096\t{Record Id=0}\t{Record Id=1}\t{Record Id=2}\t{Record Id=3}";
    for (const Clause& c : clauses) {
        text += "\t";
        text += c.head;
        for (const char* s : c.segments) {
            text += "\t\t{Segment Type=";
            text += s;
            text += "}";
        }
        text += "\t}";
    }
    text += "}";  // the last clause closes with "}}"
    return text;
}
