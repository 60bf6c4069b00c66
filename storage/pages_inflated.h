// Pages expanded by every PageInflater of the run so far: a measure of work
// that does not move with the machine, which the benchmarks hold beside
// IndexKeyFormat::Comparisons.
#pragma once

#include <cstdint>

uint64_t PagesInflated();
