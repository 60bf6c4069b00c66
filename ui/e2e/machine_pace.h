// How far the machine's load slows the end-to-end cases, and the waits and
// time limits scaled by it. A wait for an event ends when the event comes;
// its limit only decides how long a case waits for one that never comes, and
// beside other work (a load of 30 on 8 cores leaves the program about a
// quarter of a core) the program takes several times as long to answer.
#pragma once

#include <windows.h>

#include <algorithm>
#include <cstdio>

namespace machine_pace {

// The load average of the last minute per core, from 1 (an idle machine) to 8.
inline double Slowness() {
    double load = 0;
    if (std::FILE* file = std::fopen("Z:\\proc\\loadavg", "r")) {
        if (std::fscanf(file, "%lf", &load) != 1) load = 0;
        std::fclose(file);
    }
    SYSTEM_INFO system{};
    GetSystemInfo(&system);
    return std::clamp(load / std::max<double>(system.dwNumberOfProcessors, 1), 1.0, 8.0);
}

// A number of looks, or a time in milliseconds, scaled by the slowness now.
inline int ScaledTries(int tries) { return static_cast<int>(tries * Slowness()); }
inline DWORD ScaledMs(DWORD ms) { return static_cast<DWORD>(ms * Slowness()); }

}  // namespace machine_pace
