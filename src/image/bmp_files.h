// BMP files: the program's writer layout, "Save" under a chosen name, the
// fixed-name keep and work files, and the open dialog.
//
// Every file the program writes is an uncompressed 24-bit bottom-up BMP with
// a 54-byte header; rows are padded with zero bytes to a multiple of 4.
#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "platform/dialogs.h"
#include "platform/language.h"
#include "platform/picture_loader.h"

// Current view scale of the view pages; 1 when no zoom is in force. Keep and
// work files carry its low 16 bits in the header's first reserved field.
extern const int& ViewScale;  // read everywhere, written only through SetViewScale
void SetViewScale(int scale);

// The picture in hand, as chosen in the open dialog, and where that dialog
// starts when no picture has been chosen yet.
struct PictureFileNames {
  std::string path;
  std::string fileName;
  std::string openStartFolder;
};
extern PictureFileNames PictureFile;

inline constexpr int BmpHeaderBytes = 54;
inline constexpr int KeepFileBytes = 1935414;  // 54 + 960 * 672 * 3

// The failure messages of the file routines, in the current language, each
// naming the file that could not be written or read.
inline constexpr BilingualText WriteFailureText{"ピクセルデータの書き込みに失敗しました",
                                                "Writing the pixel data failed"};
inline constexpr BilingualText WriteFailureTitle{"PutBmp", "PutBmp"};
inline constexpr BilingualText ReadFailureText{"ピクセルデータの読み込みに失敗しました",
                                               "Reading the pixel data failed"};
inline constexpr BilingualText ReadFailureTitle{"pool Get Bmp 関数", "pool Get Bmp function"};
// The message of a picture that could not be read (titled as the open dialog):
// %1 stands for the file's name, %2 for the loader's reason in the same
// language.
inline constexpr BilingualText PictureRefusedText{"「%1」は画像として読み込めませんでした：\n%2。",
                                                  "\"%1\" could not be read as a picture:\n%2."};
inline constexpr BilingualText PictureRefusedTitle{"画像ファイルを開く", "Open a Picture"};
// The open dialog's title: it opens every picture the loader reads.
inline constexpr BilingualText OpenTitleText{"画像ファイルを開く", "Open a Picture"};
// The folder the open and save dialogs start in: the picture in hand's, or
// before there is one the folder chosen at start.
std::string PictureFolder();
// That message in the current language, for the file (its name without its
// folder) and the loader's refusal.
std::string PictureRefusedMessage(const std::string& file, const PictureRefusal& refusal);

// "<text>: <file>" in the current language, as the messages show it; a
// failed write adds the reason the system gave ("(no space left on the
// device)").
std::string WriteFailureMessage(const std::string& file);
std::string ReadFailureMessage(const std::string& file);
// The messages themselves, once each time they are called.
void ShowWriteFailure(const std::string& file);
void ShowReadFailure(const std::string& file);

// Where a fixed-name writer takes its pixels from: the canvas bytes, or
// WorkPlanes (the low byte of each sample).
enum class PixelSource { FromCanvas = 1, FromPlanes = 2 };
// Where a fixed-name reader puts the pixels it read: the canvas bytes, or
// WorkPlanes (one byte a sample).
enum class PixelTarget { IntoCanvas = 1, IntoPlanes = 2 };

// Row size in bytes of a w-pixel 24-bit row, padded to a multiple of 4.
constexpr int BmpRowBytes(int width) { return (width * 3 + 3) / 4 * 4; }

// The 54-byte header of a width x height file in that layout.
std::array<std::uint8_t, BmpHeaderBytes> BmpHeader(int width, int height, std::uint16_t reserved1);

// Lays out a whole BMP file. fillRow(row, out) writes the 3 * width bytes
// (blue, green, red) of file row `row`, counted from the bottom.
std::vector<std::uint8_t> EncodeBmp(int width, int height, std::uint16_t reserved1,
                                    const std::function<void(int row, std::uint8_t* out)>& fillRow);

// A whole picture as a BMP file in that layout (reserved field 0).
std::vector<std::uint8_t> EncodePictureBmp(const Picture& picture);

// The fixed names: slot n -> "KEEPn.bmp"; work files 0..4 -> "0000start.bmp",
// "0000tar.bmp", "0000trfr.bmp", "0000back.bmp", "0000iso.bmp".
std::string KeepFileName(int slot);
extern const std::array<const char*, 5> AppearFileNames;

// Fixed-name writers: 960 x 672 from the canvas bytes or from WorkPlanes (low
// byte of each sample). On failure the write-failure message is shown and
// the old file stays as it was. True when written.
bool WriteKeepFile(const std::uint8_t* canvas, int slot, PixelSource source);
bool WriteAppearFile(const std::uint8_t* canvas, int file, PixelSource source);

// Fixed-name readers: a file that is missing or not in the keep layout (960 x
// 672, 24 bits, uncompressed, all pixel bytes present) gets the read-failure
// message and leaves the target unchanged. ReadAppearFile also sets the shown
// size to the whole canvas. True when read.
bool ReadKeepFile(std::uint8_t* canvas, int slot, PixelTarget target);
bool ReadAppearFile(std::uint8_t* canvas, int file, PixelTarget target);

// The keep layout check and copy, on bytes already in memory. False, with the
// target untouched, when the bytes are not a 960 x 672 24-bit uncompressed BMP.
bool DecodeKeepBytes(std::span<const std::uint8_t> file, std::uint8_t* canvas, PixelTarget target);

// The part of the canvas "Save" writes: columns x rows from the top left.
struct ShownPart {
  int columns = 0, rows = 0;
};
ShownPart ShownPartToWrite();
// True when writing the shown part over path loses nothing, or the user said
// so: asked when path is the picture in hand's file or an existing picture,
// either larger than the part written.
bool MayWriteShownPartOver(const std::string& path);
// The question, in the current language, naming the part and the whole.
std::string ShownPartQuestion(ShownPart part, int width, int height);

// "Save": asks for a name (title by language: 1 Japanese, 2 English) and
// writes the shown picture from WorkPlanes. With view scale 1 the region is
// the shown picture (min(shown size, 960 x 672)); with a zoom in force the
// top 960 x 640 of the canvas.
void SaveImageAs(int languageId);
// The two halves of SaveImageAs: the save dialog (nothing on cancel), and
// the write of the shown picture from WorkPlanes, or from the canvas bytes
// when `canvas` is given (the bytes PlanesFromCanvas would put in the
// planes); the write-failure message on failure; true when written.
// When the chosen file is the picture's own file, or an existing picture
// larger than the part written, the dialog is followed by a question naming
// both sizes, No by default; No counts as a cancel.
// `checks` and `note` go to the dialog as they are (its check boxes come back
// there); the first box, when on, means the whole picture is written, and
// then there is no question.
std::optional<std::string> AskSaveImagePath(int languageId, std::vector<FileDialogRequest::Check>* checks = nullptr,
                                            const std::string& note = {});
bool WriteShownImage(const std::string& path, const std::uint8_t* canvas);

// The open dialog: 1 when a file was chosen and read as a picture (ImagePath
// and ImageFileName then hold it), -1 on cancel, 0 when the file could not be
// read as a picture (a message said so). On -1 and 0 the picture in hand and
// its path stay as they were.
int OpenImageDialog();

// The two-entry filter both dialogs use (bitmap files, all files), named in
// the current language.
std::vector<FileFilter> BitmapFilters();
