// Counts the program's heap allocations: linking this library replaces every
// form of operator new and delete with malloc and free plus a count. Only
// programs that check their allocation counts link it (its own target).
#pragma once

namespace play {

// Counts from now on, leaving out the allocations made while `ignored` (if
// given) answers true, such as the simulated game's own; the stop answers how
// many were counted since the start.
void StartCountingAllocations(bool (*ignored)() = nullptr);
long StopCountingAllocations();

}  // namespace play
