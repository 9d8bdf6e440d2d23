// The state blocks of the MAP and DEVELOP pages, as the tests and the
// benchmark see them. The view area itself is in view_area.h.
#pragma once

#include "pages/kit/page_entry.h"

// MAP (map_page.cpp).
struct MapPageState {
  bool frameListShown = false;    // 1: the frame-colour list is drawn
  bool setKeepRequest = false;    // 1: the next MAP paint stores the picture as KEEP2
  int helpItem = 0;          // explanation selector 1..5, 0 none
  bool keep2ReadRequest = false;  // 1: the next MAP paint reads KEEP2 back into WorkPlanes
  // What KEEP2 holds for the way back from DEVELOP: 0 nothing to bring back,
  // 1 the image before development (written by "act" or the DEVELOP tab), 2
  // the same and a development has run since, so the MAP tab reads it back.
  int keep2State = 0;
};
extern MapPageState MapPage;

// DEVELOP (develop_page.cpp). The swap switch: off, on, or on with "Set
// KEEP3" asked for (back to on within the paint that serves it).
enum SwapSwitchState : int { SwapOff = 0, SwapOn = 1, SwapOnSetAsked = 2 };
struct DevelopPageState {
  bool pending = false;         // 1: the next DEVELOP paint runs the development
  bool liftPending = true;     // 1: a x1 development lifts its result to the top
  int swapSwitch = SwapOff;  // a SwapSwitchState
  int swapMode = 0;        // 0, 5, 12 or 17
  bool setKeepRequest = false;  // 1: the next paint stores the shown picture as KEEP3
  int helpItem = 0;        // explanation selector 1..7, 0 none
};
extern DevelopPageState DevelopPage;

// Writes KEEP2 from WorkPlanes as the image before a development (Keep2State
// 1), with the picture area it covers, for the way back.
void KeepImageBeforeDevelopment();
// Ends the way back (a page other than DEVELOP or MAP was entered).
void EndWayBackToMap();

// A development has run: KEEP2, when it holds the image before it, is now
// the way back (MAP's state, which DEVELOP asks to change).
void NoteDevelopmentRun();

// DEVELOP's tab entry (also run when MAP's "act" starts the development).
void EnterDevelop();
// The development at DEVELOP's next paint (DEVELOP's state, which MAP asks
// to change).
void AskDevelopment();

// Starts the development from the MAP page: KEEP2 from WorkPlanes, then the
// DEVELOP page is current with its start values and the development pending
// (the act switch; the DEVELOP tab on MAP also sets LiftPending).
void StartDevelopmentFromMap();

// The MAP page as the page table lists it.
extern const PageEntry MapPageEntry;

// The DEVELOP page as the page table lists it.
extern const PageEntry DevelopPageEntry;
