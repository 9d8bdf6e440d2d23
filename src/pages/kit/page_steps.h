// The common steps of a page section. Every paint reloads the picture into
// Canvas, serves the prologue requests and runs the current page's section.
// A page section is, in order: begin (picture into the canvas again), its
// panel, Get and Restore, its image operation, show the canvas, its marks,
// Set, Save, the tab bar, its comments and explanations.
#pragma once

#include <cstdint>

#include "ops/step_kinds.h"

// What the paint handler's prologue tells the steps: whether this paint has
// a picture in hand; and, for a Get whose keep file could not be written,
// the canvas of the picture just opened, which the page's Get then takes.
void NotePictureLoaded(bool loaded);
void KeepOpenedCanvasForGet(int slot);
// A new run: nothing loaded, nothing kept, no steps.
void ResetPageSteps();

// Step 1: image top 32, the picture file drawn into the canvas again.
void BeginPageSection();
// Step 3: Get and Restore read the page's keep slot into WorkPlanes; a page
// that recomputes from its source copies the read image into the inner
// memory as well. True when an image was read.
bool ServeGetAndRestore(int slot, bool recomputesFromSource);
// Step 5: WorkPlanes into the canvas, the canvas shown at (100, 32).
void ShowPlanes();
// Whether the canvas holds the planes' low bytes, pixel for pixel.
bool CanvasShowsThePlanes();
// The canvas as it stands shown at (100, 32), and presented now.
void ShowCanvasNow();
// A page's marks (polygon sides, cross markers, tracks) are painted into a
// copy of the canvas, never into Canvas itself, so that every store (Set,
// Save, the work files) and every later step takes the picture without them.
// CanvasWithMarks() copies Canvas into that copy and returns it;
// ShowCanvasWithMarks() shows the copy at (100, 32).
std::uint8_t* CanvasWithMarks();
void ShowCanvasWithMarks();
// A page's operation as a step, drawn by the step's own stages from the
// planes over the canvas as it stands (which holds the planes, and may hold
// what the page drew before), the planes staying as they are; recorded as
// the step the page shows (SetShownStep), so that what is shown is what a
// whole save runs. PaintStep draws it without recording it (a preview over
// work that is no step).
void ShowStep(const PictureStep& step);
void PaintStep(const PictureStep& step);
// A page's operation done on the picture itself: the step over WorkPlanes,
// recorded as one more step of the picture in hand (AddStep).
void DoStep(const PictureStep& step);

// Step 7: when setRequest is 1, the canvas as shown goes into WorkPlanes and
// the page's keep file; the request is cleared.
void ServeSet(int slot, bool& setRequest);
// Step 8: "Save" when requested.
void ServeSave();
// Step 9: the tab bar and its seventeen labels.
void DrawTabs();

// The tab bar's shading and frame, and one tab label by code.
void DrawTabBar();
void DrawTabLabel(int code);

