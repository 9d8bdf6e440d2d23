// The picture in hand: the file the user opened (PictureFile.path), decoded once and
// kept whole and as its window lands on the canvas, reloaded only when the
// file changes. A new file becomes the picture in hand only once it has been
// read as a picture; until then the previous picture and path stay.
//
// The window is the part of the picture the canvas holds: 960 x 672 (or the
// whole picture where it is smaller) from its top-left corner (left, top),
// counted in the picture's own columns and rows from its top. A new picture
// is shown from its top-left corner.
#pragma once

#include <cstdint>
#include <memory>
#include <span>
#include <string>

#include "image/state_block.h"

struct Picture;

// Draws the picture's top-left min(width, 960) x min(height, 672) part at the
// top-left of a 960 x 672 bottom-up BGR canvas (picture row 0 goes to plane
// row 671), then whitens what the picture does not cover (WhitenOutside).
void DrawPictureIntoCanvas(const Picture& picture, std::uint8_t* canvas);
// The same of the window whose top-left corner is picture column `left`,
// row `top` (from the top).
void DrawPictureWindowIntoCanvas(const Picture& picture, int left, int top, std::uint8_t* canvas);

// Brings the picture in hand up to date with its file. True when there is a
// picture in hand. A file that changed on disk into something unreadable
// leaves the last picture read in hand.
bool RefreshPictureInHand();
int PictureInHandWidth();
int PictureInHandHeight();

// Copies the picture in hand's window into the canvas (the rows and columns
// it covers; the rest of the canvas is left as it is).
void CopyPictureInHand(std::uint8_t* canvas);

// The window's top-left corner in the picture, and its size.
struct PictureWindow {
  int left = 0, top = 0, width = 0, height = 0;
  friend bool operator==(const PictureWindow&, const PictureWindow&) = default;
};
PictureWindow WindowOfPictureInHand();
// The window moved to (left, top), kept inside the picture; the canvas rows
// it gives are those CopyPictureInHand copies from now on. True when it
// moved.
bool MovePictureWindow(int left, int top);
// The whole picture in hand, read again from its file when the history
// brought it back without its pixels; null when there is none.
std::shared_ptr<const Picture> WholePictureInHand();

// Reads path as the new picture in hand. On success PictureFile.path
// and PictureFile.fileName name it. Otherwise a message in the current language names
// the file and says why it could not be read as a picture (the loader's
// reason), and nothing changes. True when taken.
bool TakeNewPicture(const std::string& path);

// Forgets the picture in hand (a new run).
void ForgetPictureInHand();

// The picture in hand as the history keeps it: its file, size, window and
// canvas rows; the whole picture's pixels are not kept, but read again from
// the file when a change taken back needs them.
std::span<const StateBlock> PictureInHandStates();
