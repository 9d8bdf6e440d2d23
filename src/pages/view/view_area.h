// The view area shared by the MAP, DEVELOP and GAMON pages: the part of the
// canvas the DEVELOP page enlarges and the GAMON page studies.
//
// The scale itself is ViewScale (image/bmp_files.h), since the keep files
// carry it in their header. MAP keeps the area in canvas coordinates
// (columns from the left, rows from the bottom); GAMON keeps it, in the same
// record, on its half-size picture.
//
// Routines:
//   ViewAreaSize         width and height of a scale (the file size at x1)
//   FineMoveStep         MAP's fine-move step of a scale: 32 / scale, 1 at 64
//   UpdateMapViewArea    MAP's update at every paint: size, centre, fine move, clamps
//   CentreMapViewArea    MAP's click on the picture
//   ClampedViewArea      the area brought inside the canvas (what DEVELOP copies)
//   UpdateGamonViewArea  GAMON's update on its half-size picture
//   CentreGamonViewArea  GAMON's click on the half-size picture
//   GamonAnalysisWindow  GAMON's view area in full-size plane coordinates
#pragma once

#include <array>

#include "platform/surface.h"

// The six colours of the view area's frame, as MAP and GAMON list them.
struct ViewFrameColour {
  Rgb colour;
  const char* english;
  const char* japanese;
};
inline constexpr std::array<ViewFrameColour, 6> ViewFrameColours = {{
    {{255, 0, 0}, "pure red", "赤"},
    {{255, 255, 128}, "yellow", "黄"},
    {{128, 255, 255}, "sky blue", "空の青"},
    {{0, 255, 128}, "green", "緑"},
    {{255, 220, 220}, "pink white", "桃の白"},
    {{64, 0, 255}, "blue", "青"},
}};

// Fine moves, as the arrows ask for them.
enum FineMoveKind : int { FineMoveNone = 0, FineMoveUp = 1, FineMoveLeft = 2, FineMoveRight = 3, FineMoveDown = 4 };

struct ViewAreaRecord {
  int zoom = 1;         // the zoom DEVELOP uses; equal to ViewScale once MAP has painted
  int width = 1280;     // size in canvas pixels (overwritten by the first MAP paint)
  int height = 800;
  int left = 0;         // column of the left edge
  int bottom = 0;       // row of the lowest row, counted from the bottom
  int recompute = 0;    // 1: the size was derived again; re-centre and clamp
};

struct ViewAreaState {
  ViewAreaRecord area;
  int fineMove = FineMoveNone;  // a FineMoveKind, consumed by the next paint
  int frameColour = 0;          // 0..5, the frame colour of the view area
};
extern ViewAreaState View;

struct AreaSize {
  int width = 0, height = 0;
};

// 960 / scale x 640 / scale; at scale 1 the file size clamped to 960 x 672.
AreaSize ViewAreaSize(int scale, int fileWidth, int fileHeight);
int FineMoveStep(int scale);

// MAP's view-area update (run at every MAP paint). Consumes fineMove.
void UpdateMapViewArea(ViewAreaRecord& area, int scale, int fileWidth, int fileHeight, int& fineMove);
// MAP's click on the picture at client (x, y): the area centred on it, left
// at least 0 and bottom at least 32; the next update clamps it.
void CentreMapViewArea(ViewAreaRecord& area, int x, int y);

// The rectangle to copy: the size of `area`, at most the canvas, moved
// inside it.
struct ViewRect {
  int left = 0, bottom = 0, width = 0, height = 0;
};
ViewRect ClampedViewArea(const ViewAreaRecord& area);

// GAMON's update on the half-size picture (consumes fineMove), and its click.
void UpdateGamonViewArea(ViewAreaRecord& area, int scale, int fileWidth, int fileHeight, int& fineMove);
void CentreGamonViewArea(ViewAreaRecord& area, int x, int y);

// The analysis window: the GAMON view area in full-size plane coordinates
// (first plane row counted from the bottom), always inside the canvas.
ViewRect GamonAnalysisWindow(const ViewAreaRecord& area);
