#pragma once

// Steps on a float colour component towards a bound of 1 or 0. The sum is
// formed in double and the clamp tested before rounding to float, so a sum
// just past the bound is clamped rather than rounded back inside it. Each
// returns false, changing nothing, when the component already stands at or
// beyond its bound.
bool increaseBounded(float& component, double step);
bool decreaseBounded(float& component, double step);
