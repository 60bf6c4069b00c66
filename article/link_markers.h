// Links written into plain text as "<<word>>" (the lexicon's hint): where
// each pair of markers stands, so a view can hide the markers and make the
// text between them a link.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

struct LinkMarkers {
    int32_t open;   // unit of "<<"
    int32_t close;  // unit of ">>"; the link is [open + 2, close)
};

// Each "<<" with the first ">>" after it, left to right; a "<<" without a
// ">>" after it ends the search.
std::vector<LinkMarkers> FindLinkMarkers(std::u16string_view text);
