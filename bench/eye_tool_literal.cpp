// vazesample-eye-literal INPUT OUTPUT [KEY]: the batch tool's placed pass in
// its literal form, as a whole process, for the side-by-side timing in
// bench/eye_tool.sh and the check that both give the same bytes: the picture
// placed on the canvas, the 50 % channel levels as the pivot, then the TOP
// page's loop, row = CanvasRows down to CanvasRows - ShownHeight, each row
// through the literal engine (the white rows under a short picture are not
// reached), BMP out.

#include <algorithm>
#include <cstdio>
#include <string>
#include <vector>

#include "image/bmp_files.h"
#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "platform/files.h"
#include "platform/picture_loader.h"
#include "reference/vantor_eye_literal.h"

int main(int argc, char** argv) {
  if (argc < 3) {
    std::fprintf(stderr, "usage: vazesample-eye-literal INPUT OUTPUT [KEY A..L]\n");
    return 2;
  }
  const auto picture = LoadPicture(argv[1]);
  if (!picture) return 1;
  const int key = argc > 3 ? argv[3][0] - 'A' + 1 : 6;
  std::vector<std::uint8_t> canvas(CanvasByteCount, 0);
  DrawPictureIntoCanvas(*picture, canvas.data());
  InnerFromCanvas(canvas.data(), Stride, CanvasRows);
  PlanesFromCanvas(canvas.data(), Stride, CanvasRows);
  EyeParameters p;
  const auto levels = ChannelLevelsOf(WorkView(), Stride, CanvasRows);
  for (std::size_t c = 0; c < 3; ++c) p.reference[c] = levels[c].middle;
  const int shownHeight = std::min(picture->height, CanvasRows);
  for (int row = CanvasRows; row >= CanvasRows - shownHeight; --row) {
    VantorEyeRowLiteral(InnerView(), WorkView(), Stride, CanvasRows, WindowOfHornKey(key), p, row);
  }
  const auto file = EncodeBmp(Stride, CanvasRows, 0, [](int row, std::uint8_t* out) {
    for (int x = 0; x < Stride; ++x)
      for (int k = 0; k < 3; ++k) out[3 * x + k] = static_cast<std::uint8_t>(WorkView().at(k, row, x));
  });
  return WriteFileAtomically(argv[2], file) ? 0 : 1;
}
