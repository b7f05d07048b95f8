// a * b / c with a 64-bit product, rounded to the nearest integer (halves
// away from zero), as the system's own MulDiv: -1 when c is 0 or the result
// does not fit 32 bits.
#pragma once

int MulDiv(int number, int numerator, int denominator);
