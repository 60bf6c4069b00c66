// Finding "<<…>>" link pairs.
#include "article/link_markers.h"

std::vector<LinkMarkers> FindLinkMarkers(std::u16string_view text) {
    std::vector<LinkMarkers> links;
    size_t from = 0;
    for (;;) {
        const size_t open = text.find(u"<<", from);
        if (open == std::u16string_view::npos) break;
        const size_t close = text.find(u">>", open + 2);
        if (close == std::u16string_view::npos) break;
        links.push_back({static_cast<int32_t>(open), static_cast<int32_t>(close)});
        from = close + 2;
    }
    return links;
}
