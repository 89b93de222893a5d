#pragma once

// Constants of the plots' angle arithmetic, in extended precision.
constexpr long double Pi = 3.14159265358979323846L;
constexpr long double TwoPi = 2 * Pi;
