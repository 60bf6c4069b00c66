// Counts of the work a bench's two sides do: they move with the code and the
// data, never with the machine's speed or load, so the bench pass holds them
// to tight bounds where it can hold a time ratio only loosely.
//   heap allocations: every operator new of the process (our side), and what
//     SQLite asks of its allocator (CountSqliteAllocations, before its first use)
//   pages: asked of the engine's page cache, brought into it, and read from
//     the file and inflated (the rest come back from the image store)
//   key compares: every comparison of two index keys (IndexKeyFormat)
// A bench that includes it lists bench/work_counts.cpp among its sources:
// that file replaces the executable's global operator new and delete.
#pragma once

#include <sqlite3.h>

#include <cstdint>
#include <cstdio>

#include "storage/dms.h"
#include "storage/index_keys.h"
#include "storage/pages_inflated.h"

namespace work_counts {
extern uint64_t allocations;        // operator new (work_counts.cpp replaces it)
extern uint64_t sqliteAllocations;  // SQLite's mallocs and reallocs
inline sqlite3_mem_methods sqliteAllocator{};
}  // namespace work_counts

// SQLite's own allocator, counted: call before SQLite's first use.
inline void CountSqliteAllocations() {
    using namespace work_counts;
    sqlite3_config(SQLITE_CONFIG_GETMALLOC, &sqliteAllocator);
    static sqlite3_mem_methods counting = sqliteAllocator;
    counting.xMalloc = [](int bytes) {
        ++sqliteAllocations;
        return sqliteAllocator.xMalloc(bytes);
    };
    counting.xRealloc = [](void* p, int bytes) {
        ++sqliteAllocations;
        return sqliteAllocator.xRealloc(p, bytes);
    };
    sqlite3_config(SQLITE_CONFIG_MALLOC, &counting);
}

// Our side's counters at one moment; Since gives the work between two.
struct EngineWork {
    double pagesAsked = 0, pagesBrought = 0, pagesInflated = 0, keyCompares = 0, allocations = 0;

    static EngineWork Now(const CDMS& engine) {
        const CCache::Counters cache = engine.GetCacheCounters();
        return {static_cast<double>(cache.lookups), static_cast<double>(cache.loads),
                static_cast<double>(PagesInflated()), static_cast<double>(IndexKeyFormat::Comparisons()),
                static_cast<double>(work_counts::allocations)};
    }
    EngineWork Since(const EngineWork& before) const {
        return {pagesAsked - before.pagesAsked, pagesBrought - before.pagesBrought,
                pagesInflated - before.pagesInflated, keyCompares - before.keyCompares,
                allocations - before.allocations};
    }
    EngineWork& operator+=(const EngineWork& more) {
        pagesAsked += more.pagesAsked, pagesBrought += more.pagesBrought, pagesInflated += more.pagesInflated;
        keyCompares += more.keyCompares, allocations += more.allocations;
        return *this;
    }
    // Prints each count divided by `per` as the bench pass reads it:
    // "count <side> <what> per <unit>: <value>".
    void Print(const char* side, const char* unit, double per) const {
        std::printf("count %s pages asked of the cache per %s: %.3f\n", side, unit, pagesAsked / per);
        std::printf("count %s pages brought into the cache per %s: %.3f\n", side, unit, pagesBrought / per);
        std::printf("count %s pages read and inflated per %s: %.3f\n", side, unit, pagesInflated / per);
        if (keyCompares > 0) std::printf("count %s key compares per %s: %.3f\n", side, unit, keyCompares / per);
        std::printf("count %s heap allocations per %s: %.3f\n", side, unit, allocations / per);
    }
};

// SQLite's counters at one moment: the pages its pager was asked for and
// those it read (cache misses), the compares of the collation it was given
// (its counter; none printed where it was given none), and its allocations.
struct SqliteWork {
    double pagesAsked = 0, pagesRead = 0, keyCompares = 0, allocations = 0;

    static SqliteWork Now(sqlite3* db, uint64_t compares) {
        int hits = 0, misses = 0, highest = 0;
        sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_HIT, &hits, &highest, 0);
        sqlite3_db_status(db, SQLITE_DBSTATUS_CACHE_MISS, &misses, &highest, 0);
        return {static_cast<double>(hits) + misses, static_cast<double>(misses), static_cast<double>(compares),
                static_cast<double>(work_counts::sqliteAllocations)};
    }
    SqliteWork Since(const SqliteWork& before) const {
        return {pagesAsked - before.pagesAsked, pagesRead - before.pagesRead, keyCompares - before.keyCompares,
                allocations - before.allocations};
    }
    SqliteWork& operator+=(const SqliteWork& more) {
        pagesAsked += more.pagesAsked, pagesRead += more.pagesRead, keyCompares += more.keyCompares;
        allocations += more.allocations;
        return *this;
    }
    void Print(const char* side, const char* unit, double per) const {
        std::printf("count %s pages asked of the cache per %s: %.3f\n", side, unit, pagesAsked / per);
        std::printf("count %s pages read per %s: %.3f\n", side, unit, pagesRead / per);
        if (keyCompares > 0) std::printf("count %s key compares per %s: %.3f\n", side, unit, keyCompares / per);
        std::printf("count %s heap allocations per %s: %.3f\n", side, unit, allocations / per);
    }
};
