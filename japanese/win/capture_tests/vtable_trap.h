// Unused slots of the tests' hand-made C vtables: each slot gets a function
// of its own that names the slot and ends the test run, since a call through
// a wrong slot cannot return (the callee would pop the wrong argument size).
#pragma once

#include <windows.h>

#include <cstdio>
#include <utility>

namespace ostrel::japanese::testing {

template <int Slot>
void STDMETHODCALLTYPE TrapSlot() {
    std::fprintf(stderr, "a capture called unexpected vtable slot %d\n", Slot);
    std::fflush(stderr);
    ExitProcess(3);
}

// Fills `table` (an array of `Count` function pointers) with the traps.
template <size_t Count>
void FillWithTraps(void* (&table)[Count]) {
    [&]<size_t... Slot>(std::index_sequence<Slot...>) {
        ((table[Slot] = reinterpret_cast<void*>(&TrapSlot<static_cast<int>(Slot)>)), ...);
    }(std::make_index_sequence<Count>{});
}

}  // namespace ostrel::japanese::testing
