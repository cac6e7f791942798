#pragma once
// The colours the colormap tables look up, one channel at a time. The arithmetic runs in
// extended precision and only the result is rounded to double: computed in plain double, a
// few table entries of a typical palette would come out different.

#include <cstdint>

// Channel `value` at light level `level` (0 to 63): value x (level / 63).
double LightLevelTarget(uint8_t value, int level);

// Channel of transparency table entry: 0.35 of the table's colour, 0.65 of the entry's.
double TransBlendTarget(uint8_t tableValue, uint8_t entryValue);
