// Finds the published Unicode files the collation and segmentation tests use
// as oracles: the project's own copy first, then a shared data folder beside
// the checkout.
#pragma once

#include <cstdio>
#include <string>

inline std::string UnicodeTestFile(const std::string& relative) {
    const std::string candidates[] = {
        std::string(OSTREL_SOURCE_DIR) + "/resources/unicode/" + relative,
        std::string(OSTREL_SOURCE_DIR) + "/../shared/data/unicode/" + relative,
    };
    for (const std::string& path : candidates) {
        if (FILE* f = std::fopen(path.c_str(), "rb")) {
            std::fclose(f);
            return path;
        }
    }
    return {};
}
