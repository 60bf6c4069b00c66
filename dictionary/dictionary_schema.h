// The storage schema of every dictionary file (.qdx). The engine keeps no
// schema in the file, so the dictionary object, the shelf and the compiler
// pass this same text to CDMS::CreateFile and CDMS::OpenFile.
//
// index  segments                         holds
// 0      Long                             one entry per article, key = its data position
// 1      Word                             property records by id (dictionary_properties.h)
// 101    UString Sort=WK, UString         reading, word (word empty when none)
// 102    UString, UString Sort=WK         word, reading
// 105    UString, Word                    declared, unused
// 106    UString, Word                    words of the translations
// 107    Word, Word, Long, Byte           declared, unused
// 108    UString, Word                    declared, unused
// 110    UString                          full-text word list: word -> word id
// 111    Long                             full-text hits: word id -> hit-list block
// 121    UString, UString Sort=NoSort     Latin stems
// 201    Word                             declared, unused
// 202    UString Sort=KK, Word            declared, unused
// 203    UString, Word                    declared, unused
// 204    Byte, Word, Word                 declared, unused
// 2      Long                             declared, unused
// 3      Long, Long, Long                 parallel-text book records; first key <= 1000: header records
//
// Record types 0 to 3 are declared; property records are written as type 1.
// Two rules of the schema language make the text below work: a segment
// belongs to the most recently opened index (so "{Index Id=204}", closed at
// once, still gets its three segments), and a surplus "}" is ignored.
#pragma once

#include <cstdint>
#include <string_view>

inline constexpr std::string_view DictionarySchemaText =
    "{Dictionary PageSize=4096\t{Record Id=0}\t{Record Id=1}\t{Record Id=2}\t{Record Id=3}\t"
    "{Index Id=0 \t\t{Segment Type=Long}\t}\t"
    "{Index Id=1 \t\t{Segment Type=Word}\t}\t"
    "{Index Id=101\t\t{Segment Type=UString Sort=WK}\t\t{Segment Type=UString}\t}\t"
    "{Index Id=102\t\t{Segment Type=UString}\t\t{Segment Type=UString Sort=WK}\t}\t"
    "{Index Id=105\t\t{Segment Type=UString}\t\t{Segment Type=Word}\t}\t"
    "{Index Id=106\t\t{Segment Type=UString}\t\t{Segment Type=Word}\t}\t"
    "{Index Id=107\t\t{Segment Type=Word}\t\t{Segment Type=Word}\t\t{Segment Type=Long}\t\t{Segment Type=Byte}\t}\t"
    "{Index Id=108\t\t{Segment Type=UString}\t\t{Segment Type=Word}\t}\t"
    "{Index Id=110\t\t{Segment Type=UString}\t}\t"
    "{Index Id=111\t\t{Segment Type=Long}\t}\t"
    "{Index Id=121\t\t{Segment Type=UString}\t\t{Segment Type=UString Sort=NoSort}\t}\t"
    "{Index Id=201\t\t{Segment Type=Word}\t}\t"
    "{Index Id=202\t\t{Segment Type=UString Sort=KK}\t\t{Segment Type=Word}\t}\t"
    "{Index Id=203\t\t{Segment Type=UString}\t\t{Segment Type=Word}\t}\t"
    "{Index Id=204}\t\t{Segment Type=Byte}\t\t{Segment Type=Word}\t\t{Segment Type=Word}\t}\t"
    "{Index Id=2 \t\t{Segment Type=Long}\t}\t"
    "{Index Id=3 \t\t{Segment Type=Long}\t\t{Segment Type=Long}\t\t{Segment Type=Long}\t}}";
static_assert(DictionarySchemaText.size() == 1095);

// The index ids the program reads and writes.
inline constexpr int32_t kIndexArticles = 0;
inline constexpr int32_t kIndexProperties = 1;
inline constexpr int32_t kIndexBookRecords = 3;
inline constexpr int32_t kIndexReadingWord = 101;
inline constexpr int32_t kIndexWordReading = 102;
inline constexpr int32_t kIndexTranslationWords = 106;
inline constexpr int32_t kIndexFullTextWords = 110;
inline constexpr int32_t kIndexFullTextHits = 111;
inline constexpr int32_t kIndexLatinStems = 121;

// The record type property records are written with.
inline constexpr int32_t kPropertyRecordType = 1;
// Book records (index 3) whose first key value is at most this are the book's header records.
inline constexpr int32_t kLastBookHeaderKey = 1000;
