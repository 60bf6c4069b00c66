// Running a Debian program as a peer in native tests: lines go in through a
// file, the program's output comes back as lines. Empty when the program is
// not installed (callers skip) or the platform has no shell (Windows tree).
#pragma once

#include <cstdio>
#include <fstream>
#include <optional>
#include <string>
#include <vector>
#include "common/tests/test_paths.h"

// Feeds `lines` (UTF-8) to `command` on its standard input and returns its
// output lines; nothing when `program` is not on the PATH.
inline std::optional<std::vector<std::string>> RunPeerProgram(const std::string& program,
                                                              const std::string& command,
                                                              const std::vector<std::string>& lines) {
#ifdef _WIN32
    return std::nullopt;
#else
    if (std::system(("command -v " + program + " >/dev/null 2>&1").c_str()) != 0) return std::nullopt;
    std::string input = BinaryPath() + "/peer_input_" + program + ".txt";
    {
        std::ofstream out(input, std::ios::binary);
        for (const std::string& line : lines) out << line << '\n';
    }
    FILE* pipe = popen((command + " < '" + input + "'").c_str(), "r");
    if (pipe == nullptr) return std::nullopt;
    std::vector<std::string> output;
    std::string current;
    for (int c; (c = std::fgetc(pipe)) != EOF;) {
        if (c == '\n') {
            output.push_back(current);
            current.clear();
        } else {
            current += static_cast<char>(c);
        }
    }
    if (!current.empty()) output.push_back(current);
    pclose(pipe);
    std::remove(input.c_str());
    return output;
#endif
}
