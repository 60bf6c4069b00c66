// The form names (looked up by code, first row wins) and the note text built
// from them.
#include "japanese/inflection_names.h"

#include <algorithm>

namespace ostrel::japanese {
namespace {

constexpr InflectionName kNames[] = {
    {3, u"", u""},
    {9, u"страд. залог ", u"passive "},
    {12, u"побудит. залог ", u"causative "},
    {20, u"'если...' ", u"conditional "},
    {10, u"многокр. вид ", u"-tari form"},
    {6, u"прош. время ", u"past "},
    {8, u"длит. вид ", u"progress. "},
    {23, u"длит. вид ", u"progress. "},
    {24, u"длит. вид ", u"progress. "},
    {7, u"деепр. предш. ", u"-te form "},
    {2, u"2-я основа ", u"conjunction "},
    {11, u"отриц. 'не' ", u"neg. "},
    {30, u"отриц. 'не' [+ повелит. накл.] ", u"neg. [+ imperative] "},
    {15, u"отриц. 'не' ", u"neg. "},
    {18, u"отриц. 'не' ", u"neg. "},
    {16, u"отриц. 'не' ", u"neg. "},
    {17, u"отриц. 'не' ", u"neg. "},
    {31, u"отриц. 'не' ", u"neg. "},
    {19, u"'если не...' ", u"neg. cond. "},
    {14, u"'если...' ", u"conditional "},
    {13, u"потенц. залог 'мочь', перех. гл. ", u"potential, transitive "},
    {5, u"5 осн.: 'давай... / наверно... / буду...' ", u"volitional "},
    {25, u"повелит. накл. ", u"imperative "},
    {26, u"повелит. накл. ", u"imperative "},
    {28, u"повелит. накл. ", u"imperative "},
    {29, u"повелит. накл. ", u"imperative "},
    {27, u"соверш. вид ", u"perfect "},
    {33, u"форма на -мас ", u"-masu form "},
    {35, u"прош. форма на -мас ", u"past -masu form "},
    {41, u"деепр. предш. на -мас ", u"-te form, -masu form "},
    {34, u"отриц. форма 'не' на -мас ", u"neg. -masu form "},
    {38, u"желат. накл. 'хотеть' ", u"desiderative "},
    {36, u"деепр. одновр. ", u"progress. "},
    {37, u"уступ. деепр.одновр. ", u"progress. subord. "},
    {39, u"деепр. одновр. ", u"progress. "},
    {56, u"повелит. накл. ", u"imperative "},
    {57, u"'трудно-...' ", u"'hard to' "},
    {58, u"'легко-...' ", u"'easy to' "},
    {59, u"'даже если...' ", u"'even if' "},
    {143, u"уст. прил. ", u"obs. adj. "},
    {141, u"'будто...' ", u"'looking like' "},
    {61, u"прилаг. 'будто...' ", u"'look like' "},
    {62, u"нареч. 'будто...' ", u"'look like' "},
    {63, u"'слишком...' ", u"'too' "},
    {130, u"существительное ", u"noun "},
    {131, u"существительное ", u"noun "},
    {132, u"нареч.-соед.форма ", u"adv. "},
    {133, u"нареч.-соед.форма ", u"adv. -te form "},
    {134, u"'если...' ", u"conditional "},
    {135, u"предпол. накл. ", u"volitional "},
    {136, u"прош. время ", u"past "},
    {137, u"отриц. 'не' ", u"neg. "},
    {138, u"многокр. вид ", u"habitual "},
    {139, u"'если...' ", u"conditional "},
    {140, u"'даже если...' ", u"'even if' "},
    {142, u"'слишком...' ", u"'too' "},
    {145, u"с частицей '-но' (р.п., прилаг., субст.) ", u"with '-no' part."},
    {146, u"прилагательное ", u"adjective "},
    {147, u"прилагательное ", u"adjective "},
    {148, u"прилагательное ", u"adjective "},
    {21, u"глагол '-суру' ", u"-suru verb "},
    {40, u"волеизъявл. на -мас ", u"volitional -masu "},
    {160, u"вежл. форма ", u"honorific "},
    {161, u"вежл. глаг. форма ", u"honorific verb"},
    {162, u"вежл. форма ", u"honorific "},
    {163, u"вежл. форма ", u"honorific "},
    {164, u"вежл. форма ", u"honorific "},
    {165, u"вежл. форма ", u"honorific "},
    {166, u"вежл. просьба '... пожалуйста' ", u"humble query"},
    {81, u"'не должен (нельзя)...' ", u"forbid. "},
    {82, u"'должен...' ", u"imperative "},
    {44, u"'если...' ", u"conditional "},
};

}  // namespace

std::span<const InflectionName> InflectionNameTable() { return kNames; }

std::u16string_view GetInflectionName(uint8_t code, bool english) {
    for (const InflectionName& row : kNames) {
        if (row.tagCode == code) return english ? row.english : row.russian;
    }
    return {};
}

int32_t TagsToText(std::span<char16_t> out, const TagChain& tags, bool english) {
    if (out.empty()) return 0;
    const size_t room = out.size() - 1;
    size_t length = 0;
    auto put = [&](std::u16string_view text) {
        size_t n = std::min(text.size(), room - length);
        std::copy_n(text.begin(), n, out.begin() + length);
        length += n;
    };
    const int32_t count = CountTagCodes(tags);
    for (int32_t i = 0; i < count; ++i) {
        std::u16string_view name = GetInflectionName(tags[i], english);
        if (name.empty()) continue;
        if (length > 0) put(u"+ ");
        put(name);
    }
    out[length] = 0;
    return static_cast<int32_t>(length);
}

std::u16string DeinflectionNoteText(const TagChain& tags, bool english) {
    char16_t buffer[kTagsTextCapacity];
    int32_t length = TagsToText(buffer, tags, english);
    if (length == 0) return {};
    std::u16string note(buffer, length);
    if (note.back() != u' ') note += u' ';
    note += english ? u"from:" : u"от:";
    return note;
}

}  // namespace ostrel::japanese
