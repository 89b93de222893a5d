#pragma once

// The fault run: one simulated three-phase fault on the generator's busbar, stepped
// every 3 ms of simulated time until the clock reaches 10 s.
constexpr double StapTijd = 0.003;
constexpr double EindTijd = 10.0;
// Four full turns: beyond this the generator has certainly slipped a pole.
constexpr long double UitDePasHoek = 25.132741228718345908L;
// The plots that cost most are redrawn on every fifth step only.
constexpr int RedrawEvery = 5;
