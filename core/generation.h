// One generation of rule B3/S23 over the whole table.
#pragma once

#include <cstdint>

// Told of every change the step applies: all deaths in table order, then all births.
using CellChangeListener = void (*)(int32_t x, int32_t y, bool alive);

// Advances the board by one generation. Survivors keep their relative order and newborns follow
// in order of first appearance. When the next generation would not fit in kMaxCells the step
// changes nothing, tells the listener nothing and returns false.
bool StepGeneration(CellChangeListener listener);

// The number of live cells the last refused generation would have had; 0 before any refusal.
int32_t LastRefusedPopulation();
