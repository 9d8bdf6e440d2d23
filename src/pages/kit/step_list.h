// The whole-picture steps the picture in hand has been given since it was
// opened, as the pages apply them: the Vantor Eye pass of TOP and VANTOR
// EYE, FILTER's work while its page shows it, ADD's additions, a fixed local
// contrast, and what CONTOUR, UNI C., DEVELOP's swap, the outline and the
// local contrast draw over the picture once "Set" takes it in. "Save" offers
// the whole picture when the steps, run again on the part of the picture the
// canvas holds, give what the canvas shows: so a page whose work is not a
// step (a brush stroke, a zone, a cut, a zoom) ends the whole-picture offer
// by itself, and the pages name that work (NoteNotAStep) so that the save
// dialog can say what stands in the way.
#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "image/state_block.h"
#include "ops/picture_steps.h"
#include "platform/language.h"

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
// picture with it, when "Set" takes the canvas into the planes
// (KeepShownStep), and is gone with the drawing when the page is left
// (DropShownStep).
void SetShownStep(const std::optional<PictureStep>& step);
void KeepShownStep();
void DropShownStep();

// Work given to the picture that is not a step (a brush fix, a cut, the area
// eye, a composite), named by its page and key word as the panel prints
// them: the steps no longer give the picture in hand.
void NoteNotAStep(const BilingualText& work);
// The same of the inner memory (which FILTER starts again from).
void NoteInnerNotAStep(const BilingualText& work);
// What a page shows over the picture at this paint that is not a step (a
// zone, brush strokes, brightness): replaced at each paint like the shown
// step, taken into the picture with it by KeepShownStep, dropped with it.
void SetShownNotAStep(const std::optional<BilingualText>& work);
// The work that keeps the steps from giving what the canvas shows: what the
// page shows first, then what the picture was given last; none when no page
// named any.
std::optional<BilingualText> WorkThatIsNotAStep();

// The steps so far, in the picture's coordinates (pages hand their steps
// over as they stand on the canvas).
std::vector<PictureStep> StepsSoFar();
// The steps the planes were given (those so far but the one shown over
// them), and those of the inner memory.
std::vector<PictureStep> StepsOfThePlanes();
std::vector<PictureStep> StepsOfTheInnerMemory();
// Whether the page shows a step or other work over the planes.
bool SomethingShown();

// What a move of the canvas over the picture would drop: the work that is
// no step, on the planes or in the inner memory (it exists only on the
// canvas's part of the picture). The move forgets it.
std::optional<BilingualText> WorkAMoveDrops();
void ForgetWorkThatIsNotAStep();

// The list as text, for the history to see a change.
std::string StepListDigest();
// The list as the history keeps it.
std::span<const StateBlock> StepListStates();

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

// Whether the steps give the picture the canvas shows, as far as the pages
// have said: the pages draw every step they show by the step itself
// (ShowStep, DoStep), and name all other work (NoteNotAStep,
// SetShownNotAStep), so the steps give the shown part unless some work that
// is no step has been named, or a view scale other than 1 shows a zoom.
bool StepsGiveThePicture();

// The check of the above, for tests: true when the steps, run on the canvas
// part of the picture in hand, do give the part "Save" writes from `canvas`
// (bottom-up, Stride pixels a row).
bool StepsGiveTheShownPart(const std::uint8_t* canvas);
// Tests and the driver's --check-steps have every save that offers the whole
// picture make that check and call `failed` when it does not hold.
void CheckStepsAtSaves(std::function<void(const std::string& why)> failed);
void CheckStepsAtSave(const std::uint8_t* canvas);
