// Sine and tangent of whole degrees 0..179, read modulo 180.
#pragma once

#include <array>

extern std::array<double, 180> g_sinTable;
extern std::array<double, 180> g_tanTable;

// Fills both tables: entry i is taken at the double i * pi * (1 / 180).
void InitTrigTables();
// Any index: the table entry of its non-negative remainder modulo 180.
double SinDeg(int i);
double TanDeg(int i);
