// An offset grid for CDib::DisplaceBlt: one (dx, dy) pair per place of the
// rectangle drawn, telling where the source is read relative to that place.
#pragma once

#include "gfx/DibTypes.h"

#include <vector>

class CDisplacementMap {
public:
    // A width x height grid of zero offsets; false (and an empty map) for a
    // size of 0 or less or one too large to hold.
    bool Create(int width, int height);
    int GetWidth() const { return width_; }
    int GetHeight() const { return height_; }
    // (0, 0) outside the grid.
    DibPoint Get(int x, int y) const;
    void Set(int x, int y, DibPoint offset);

    // The builders measure x and y from the centre (width / 2, height / 2).
    // Lens: inside the circle x^2 + y^2 < width * height / 4 the pair is
    // (-x / strength, -y / strength), integer division; (0, 0) outside or for a
    // strength of 0.
    void BuildLens(int strength);
    // Swirl: each place reads from itself turned by sqrt(x^2 + y^2) / k
    // radians about the centre (no offsets for k = 0).
    void BuildSwirl(double k);
    // Ripple: each place reads from along its own radius, moved by
    // amplitude * sin(r / wavelength) (no offsets for a wavelength of 0).
    void BuildRipple(double wavelength, double amplitude);

private:
    std::vector<DibPoint> offsets_; // row after row
    int width_ = 0;
    int height_ = 0;
};
