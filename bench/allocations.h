#pragma once

#include <cstddef>

// How many times the program has asked for heap memory so far (operator new, any
// form): the difference around a piece of code counts its allocations.
std::size_t allocationCount();
