// The whole-picture steps the picture in hand has been given since it was
// opened, as the pages apply them: the Vantor Eye pass of TOP and VANTOR
// EYE, FILTER's work while its page shows it, ADD's additions, a fixed local
// contrast, and what CONTOUR, UNI C., DEVELOP's swap, the outline and the
// local contrast draw over the picture once "Set" or "Save" takes it in. "Save" offers the whole picture when the
// steps, run again on the part of the picture the canvas holds, give what
// the canvas shows: so a page whose work is not a step (a brush stroke, a
// zone, a cut, a zoom) ends the whole-picture offer by itself.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "pages/steps/picture_steps.h"

// A new picture in hand: no steps yet, in the inner memory neither.
void StartStepList();
// A page's result became the picture: one more step.
void AddStep(const PictureStep& step);
// The step of the page shown, which its paint rebuilds from its settings
// (FILTER): replaced at each paint, nothing when the page changes nothing;
// it stays in the list when the page is left.
void SetPageStep(const std::optional<PictureStep>& step);
// The step a page draws over the planes into the canvas at this paint
// (CONTOUR, UNI C., the swaps of DEVELOP, the outlines): replaced at each
// paint, nothing when the page draws nothing. It becomes part of the
// picture with it, when "Set" or "Save" takes the canvas into the planes
// (KeepShownStep), and is gone with the drawing when the page is left
// (DropShownStep).
void SetShownStep(const std::optional<PictureStep>& step);
void KeepShownStep();
void DropShownStep();

std::vector<PictureStep> StepsSoFar();

// The inner memory (the planes FILTER starts again from at each paint) has
// just taken the picture in hand, as the steps so far give it.
void NoteInnerSet();
// A page that starts again from the inner memory is entered: from now on the
// picture in hand is the inner memory's, with the steps it was taken with.
void StartFromInner();

// A keep file written from the picture in hand (`picture`, its path) with
// the steps so far; read back, it brings those steps back when it is still
// that file and the picture in hand is the same. Any other keep file read
// starts a new list from itself: no steps.
void NoteKeepWritten(int slot, const std::string& picture, const std::string& file);
void NoteKeepRead(int slot, const std::string& picture, const std::string& file);

// True when the steps, run on the canvas part of the picture in hand, give
// the part "Save" writes from `canvas` (bottom-up, Stride pixels a row).
bool StepsGiveTheShownPart(const std::uint8_t* canvas);
