// The ADD page's addition written the literal way, as the reference the fast
// form (AddNodColours in src/pages/colour/nod_colours.cpp) must match byte for
// byte: every pixel through the whole rule, the band searched boundary by
// boundary, the ramp worked with its division per channel.
#pragma once

#include "image/planes.h"
#include "pages/colour/nod_colours.h"

void LiteralAddNodColours(const PlaneView& planes, int width, int height, const AddColourSettings& settings);
