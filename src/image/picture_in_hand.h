// The picture in hand: the file the user opened (PictureFile.path), decoded once and
// kept as it lands on the canvas, reloaded only when the file changes. A new
// file becomes the picture in hand only once it has been read as a picture;
// until then the previous picture and path stay.
#pragma once

#include <cstdint>
#include <string>

struct Picture;

// Draws the picture's top-left min(width, 960) x min(height, 672) part at the
// top-left of a 960 x 672 bottom-up BGR canvas (picture row 0 goes to plane
// row 671), then whitens what the picture does not cover (WhitenOutside).
void DrawPictureIntoCanvas(const Picture& picture, std::uint8_t* canvas);

// Brings the picture in hand up to date with its file. True when there is a
// picture in hand. A file that changed on disk into something unreadable
// leaves the last picture read in hand.
bool RefreshPictureInHand();
int PictureInHandWidth();
int PictureInHandHeight();

// Copies the picture in hand into the canvas (the rows and columns it
// covers; the rest of the canvas is left as it is).
void CopyPictureInHand(std::uint8_t* canvas);

// Reads path as the new picture in hand. On success PictureFile.path
// and PictureFile.fileName name it. Otherwise a message in the current language names
// the file and says why it could not be read as a picture (the loader's
// reason), and nothing changes. True when taken.
bool TakeNewPicture(const std::string& path);

// Forgets the picture in hand (a new run).
void ForgetPictureInHand();
