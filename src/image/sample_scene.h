// The sample scene: a deterministic foggy landscape with a colour cast, for
// trying the tone operations without a picture of one's own.
#pragma once

#include "platform/picture_loader.h"

// Draws the scene at width x height (both at least 1; the scene is laid out
// for 960 x 672 and stretched to any other size). The same size gives the
// same bytes on every run.
Picture MakeSampleScene(int width, int height);
