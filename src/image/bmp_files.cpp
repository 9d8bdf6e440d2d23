#include "image/bmp_files.h"

#include <algorithm>
#include <cstring>
#include <filesystem>

#include "image/picture_in_hand.h"
#include "image/planes.h"
#include "platform/files.h"

namespace {
int ViewScaleValue = 1;
}  // namespace
const int& ViewScale = ViewScaleValue;
void SetViewScale(int scale) { ViewScaleValue = scale; }
PictureFileNames PictureFile;

const std::array<const char*, 5> AppearFileNames = {"0000start.bmp", "0000tar.bmp", "0000trfr.bmp",
                                                    "0000back.bmp", "0000iso.bmp"};

namespace {

constexpr int KeepPixelBytes = Stride * CanvasRows * 3;

void Put16(std::uint8_t* p, std::uint32_t v) {
  p[0] = static_cast<std::uint8_t>(v);
  p[1] = static_cast<std::uint8_t>(v >> 8);
}
void Put32(std::uint8_t* p, std::uint32_t v) {
  for (int k = 0; k < 4; ++k) p[k] = static_cast<std::uint8_t>(v >> (8 * k));
}
std::uint32_t Get16(const std::uint8_t* p) { return static_cast<std::uint32_t>(p[0] | (p[1] << 8)); }
std::uint32_t Get32(const std::uint8_t* p) {
  return static_cast<std::uint32_t>(p[0]) | (static_cast<std::uint32_t>(p[1]) << 8) |
         (static_cast<std::uint32_t>(p[2]) << 16) | (static_cast<std::uint32_t>(p[3]) << 24);
}

std::string LeafName(const std::string& path) {
  const std::size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// Writes a 960 x 672 file under a fixed name from the chosen source.
bool WriteFixedName(const std::string& name, const std::uint8_t* canvas, PixelSource source) {
  const std::vector<std::uint8_t> file =
      EncodeBmp(Stride, CanvasRows, static_cast<std::uint16_t>(ViewScale & 0xFFFF), [&](int row, std::uint8_t* out) {
        const std::size_t first = static_cast<std::size_t>(row) * Stride;
        if (source == PixelSource::FromCanvas) {
          std::memcpy(out, canvas + 3 * first, Stride * 3);
          return;
        }
        for (std::size_t c = 0; c < Stride; ++c) {
          for (std::size_t k = 0; k < 3; ++k) out[3 * c + k] = static_cast<std::uint8_t>(WorkPlanes[k][first + c]);
        }
      });
  // Keep and work files are rewritten often inside paints: they replace the
  // old file only when whole, but are not forced to the disk first (a
  // picture saved under a name is).
  AtomicFileWriter writer(name);
  if (!writer.Append(file) || !writer.Commit(Durability::Ordinary)) {
    ShowWriteFailure(name);
    return false;
  }
  return true;
}

bool ReadFixedName(const std::string& name, std::uint8_t* canvas, PixelTarget target) {
  // A keep file is 1,935,414 bytes; anything far larger is not one.
  const auto file = ReadWholeFile(name, 64u << 20);
  if (!file || !DecodeKeepBytes(*file, canvas, target)) {
    ShowReadFailure(name);
    return false;
  }
  return true;
}

}  // namespace

std::string PictureRefusedMessage(const std::string& file, const PictureRefusal& refusal) {
  // The pieces of the text around its two marks, so that a mark in the
  // name or the reason is never taken for one.
  const std::string text = PictureRefusedText.InCurrentLanguage();
  const std::size_t name = text.find("%1"), reason = text.find("%2");
  return text.substr(0, name) + LeafName(file) + text.substr(name + 2, reason - name - 2) +
         (LanguageId == EnglishLanguage ? refusal.english : refusal.japanese) + text.substr(reason + 2);
}

std::string WriteFailureMessage(const std::string& file) {
  // With the system's reason, when the write recorded one.
  const int error = LastWriteError();
  const std::string reason = error == 0 ? std::string() : " (" + WriteErrorText(error, LanguageId == EnglishLanguage) + ")";
  return std::string(WriteFailureText.InCurrentLanguage()) + ": " + LeafName(file) + reason;
}
std::string ReadFailureMessage(const std::string& file) {
  return std::string(ReadFailureText.InCurrentLanguage()) + ": " + LeafName(file);
}
void ShowWriteFailure(const std::string& file) {
  CurrentDialogs().ShowMessage(WriteFailureMessage(file), WriteFailureTitle.InCurrentLanguage(), MessageButtons::Ok,
                               MessageIcon::None);
}
void ShowReadFailure(const std::string& file) {
  CurrentDialogs().ShowMessage(ReadFailureMessage(file), ReadFailureTitle.InCurrentLanguage(), MessageButtons::Ok,
                               MessageIcon::None);
}

std::array<std::uint8_t, BmpHeaderBytes> BmpHeader(int width, int height, std::uint16_t reserved1) {
  const std::size_t pixelBytes = static_cast<std::size_t>(BmpRowBytes(width)) * static_cast<std::size_t>(height);
  std::array<std::uint8_t, BmpHeaderBytes> header{};
  std::uint8_t* h = header.data();
  h[0] = 'B';
  h[1] = 'M';
  Put32(h + 2, static_cast<std::uint32_t>(pixelBytes + BmpHeaderBytes));
  Put16(h + 6, reserved1);
  Put32(h + 10, BmpHeaderBytes);
  Put32(h + 14, 40);
  Put32(h + 18, static_cast<std::uint32_t>(width));
  Put32(h + 22, static_cast<std::uint32_t>(height));
  Put16(h + 26, 1);
  Put16(h + 28, 24);
  Put32(h + 34, static_cast<std::uint32_t>(pixelBytes));
  return header;
}

std::vector<std::uint8_t> EncodeBmp(int width, int height, std::uint16_t reserved1,
                                    const std::function<void(int row, std::uint8_t* out)>& fillRow) {
  const std::size_t rowBytes = static_cast<std::size_t>(BmpRowBytes(width));
  const std::size_t pixelBytes = rowBytes * static_cast<std::size_t>(height);
  std::vector<std::uint8_t> file(BmpHeaderBytes + pixelBytes, 0);
  const auto header = BmpHeader(width, height, reserved1);
  std::copy(header.begin(), header.end(), file.begin());
  std::uint8_t* h = file.data();
  for (int row = 0; row < height; ++row) fillRow(row, h + BmpHeaderBytes + rowBytes * static_cast<std::size_t>(row));
  return file;
}

std::vector<std::uint8_t> EncodePictureBmp(const Picture& picture) {
  const std::size_t width = static_cast<std::size_t>(picture.width);
  return EncodeBmp(picture.width, picture.height, 0, [&](int row, std::uint8_t* out) {
    // File rows run from the bottom; the picture's rows from the top.
    CopySwappingRedAndBlue(picture.rgb.data() + static_cast<std::size_t>(picture.height - 1 - row) * width * 3, out,
                           width);
  });
}

bool DecodeKeepBytes(std::span<const std::uint8_t> file, std::uint8_t* canvas, PixelTarget target) {
  if (file.size() < BmpHeaderBytes) return false;
  const std::uint8_t* h = file.data();
  if (h[0] != 'B' || h[1] != 'M') return false;
  const std::uint32_t offset = Get32(h + 10);
  const std::uint32_t infoSize = Get32(h + 14);
  if (infoSize < 40 || Get32(h + 18) != Stride || Get32(h + 22) != CanvasRows || Get16(h + 28) != 24 ||
      Get32(h + 30) != 0) {
    return false;
  }
  if (offset < BmpHeaderBytes || offset > file.size() || file.size() - offset < KeepPixelBytes) return false;
  const std::uint8_t* pixels = h + offset;
  if (target == PixelTarget::IntoCanvas) {
    std::memcpy(canvas, pixels, KeepPixelBytes);
  } else {
    for (std::size_t i = 0; i < static_cast<std::size_t>(Stride) * CanvasRows; ++i) {
      for (std::size_t k = 0; k < 3; ++k) WorkPlanes[k][i] = pixels[3 * i + k];
    }
  }
  return true;
}

std::string KeepFileName(int slot) { return "KEEP" + std::to_string(slot) + ".bmp"; }

bool WriteKeepFile(const std::uint8_t* canvas, int slot, PixelSource source) {
  return WriteFixedName(KeepFileName(slot), canvas, source);
}

bool WriteAppearFile(const std::uint8_t* canvas, int file, PixelSource source) {
  return WriteFixedName(AppearFileNames.at(static_cast<std::size_t>(file)), canvas, source);
}

bool ReadKeepFile(std::uint8_t* canvas, int slot, PixelTarget target) {
  return ReadFixedName(KeepFileName(slot), canvas, target);
}

bool ReadAppearFile(std::uint8_t* canvas, int file, PixelTarget target) {
  if (!ReadFixedName(AppearFileNames.at(static_cast<std::size_t>(file)), canvas, target)) return false;
  SetShownArea(Stride, CanvasRows);
  return true;
}

namespace {
constexpr BilingualText SaveTitleText{"名前をつけて保存する", "SAVE WITH A NAME"};
constexpr BilingualText BitmapFilterName{"ビットマップファイル(*.bmp)", "Bitmap files (*.bmp)"};
}  // namespace

std::vector<FileFilter> BitmapFilters() {
  return {{BitmapFilterName.InCurrentLanguage(), "*.bmp"}, {AllFilesFilterName.InCurrentLanguage(), "*.*"}};
}

ShownPart ShownPartToWrite() {
  // With no zoom in force it is the whole shown picture; a zoomed view is 640
  // rows by design, so then the top 640 rows of the full width are kept.
  ShownPart part{Stride, 640};
  if (ViewScale == 1) {
    part.columns = std::min(ShownWidth, Stride);
    part.rows = std::min(ShownHeight, CanvasRows);
  }
  if (part.columns < 1) part.columns = Stride;
  if (part.rows < 1) part.rows = CanvasRows;
  return part;
}

namespace {

bool SameFile(const std::string& a, const std::string& b) {
  std::error_code ec;
  return !a.empty() && !b.empty() && std::filesystem::equivalent(a, b, ec);
}

}  // namespace

std::string ShownPartQuestion(ShownPart part, int width, int height) {
  const std::string shown = std::to_string(part.columns) + " × " + std::to_string(part.rows);
  const std::string whole = std::to_string(width) + " × " + std::to_string(height);
  if (LanguageId == EnglishLanguage) {
    return "Only the " + shown + " part shown is written; the rest of the picture (" + whole +
           ") is lost. Save anyway?";
  }
  return "表示されている " + shown + " の部分だけが書き込まれ、画像の残り (" + whole +
         ") は失われます。それでも保存しますか?";
}

// The question before a file that exists is replaced, No by default: the
// picture in hand's own file is named as such.
bool MayReplace(const std::string& path) {
  if (!std::filesystem::exists(path)) return true;
  const std::string leaf = std::filesystem::path(path).filename().string();
  const bool own = SameFile(path, PictureFile.path);
  const std::string question =
      LanguageId == EnglishLanguage
          ? "\"" + leaf + (own ? "\" is the file of the picture in hand. Replace it?" : "\" already exists. Replace it?")
          : "「" + leaf + (own ? "」は開いている画像のファイルです。置き換えますか?" : "」はもうあります。置き換えますか?");
  return CurrentDialogs().ShowMessage(question, SaveTitleText.InCurrentLanguage(), MessageButtons::YesNoDefaultNo,
                                      MessageIcon::Question) == MessageAnswer::Yes;
}

// Before the shown part is written over a file: a larger picture there
// (the picture in hand's own file, say) asks naming both sizes, any other
// file that exists asks as any save does.
bool MayWriteShownPartOver(const std::string& path) {
  const ShownPart part = ShownPartToWrite();
  int width = 0, height = 0;
  if (SameFile(path, PictureFile.path)) {
    width = PictureInHandWidth();
    height = PictureInHandHeight();
  } else if (std::filesystem::exists(path)) {
    if (const std::optional<PictureSize> size = PictureSizeOfFile(path)) {
      width = size->width;
      height = size->height;
    }
  }
  if (width <= part.columns && height <= part.rows) return MayReplace(path);
  return CurrentDialogs().ShowMessage(ShownPartQuestion(part, width, height), SaveTitleText.InCurrentLanguage(),
                                      MessageButtons::YesNoDefaultNo, MessageIcon::Question) == MessageAnswer::Yes;
}

std::string PictureFolder() {
  if (PictureFile.path.empty()) return PictureFile.openStartFolder;
  const std::size_t slash = PictureFile.path.find_last_of('/');
  if (slash == std::string::npos) return PictureFile.openStartFolder;
  return slash == 0 ? "/" : PictureFile.path.substr(0, slash);
}

std::optional<std::string> AskSaveImagePath(int languageId, std::vector<FileDialogRequest::Check>* checks,
                                            const std::string& note) {
  FileDialogRequest request;
  request.checks = checks;
  request.note = note;
  request.kind = FileDialogKind::Save;
  request.title = languageId == 2 ? "SAVE WITH A NAME" : "名前をつけて保存する";
  request.filters = BitmapFilters();
  request.defaultExtension = "bmp";
  // The question before a file is replaced is asked below, in the
  // program's language and with No as the default, whatever the dialog.
  request.overwritePrompt = false;
  request.startFolder = PictureFolder();
  std::optional<std::string> path = CurrentDialogs().AskFile(request);
  if (!path) return std::nullopt;
  const bool whole = checks != nullptr && !checks->empty() && checks->front().on;
  if (whole ? !MayReplace(*path) : !MayWriteShownPartOver(*path)) return std::nullopt;
  return path;
}

bool WriteShownImage(const std::string& path, const std::uint8_t* canvas) {
  const ShownPart part = ShownPartToWrite();
  const int columns = part.columns, rows = part.rows;
  const int firstPlaneRow = CanvasRows - rows;

  const std::vector<std::uint8_t> file = EncodeBmp(columns, rows, 0, [&](int row, std::uint8_t* out) {
    const std::size_t first = static_cast<std::size_t>(firstPlaneRow + row) * Stride;
    if (canvas != nullptr) {
      std::memcpy(out, canvas + 3 * first, static_cast<std::size_t>(columns) * 3);
      return;
    }
    for (std::size_t c = 0; c < static_cast<std::size_t>(columns); ++c) {
      for (std::size_t k = 0; k < 3; ++k) out[3 * c + k] = static_cast<std::uint8_t>(WorkPlanes[k][first + c]);
    }
  });
  if (!WriteFileAtomically(path, file)) {
    ShowWriteFailure(path);
    return false;
  }
  return true;
}

void SaveImageAs(int languageId) {
  if (const std::optional<std::string> path = AskSaveImagePath(languageId)) WriteShownImage(*path, nullptr);
}

int OpenImageDialog() {
  FileDialogRequest request;
  request.kind = FileDialogKind::Open;
  request.title = OpenTitleText.InCurrentLanguage();
  request.filters = BitmapFilters();
  request.defaultExtension = "bmp";
  request.mustExist = true;
  request.startFolder = PictureFolder();
  const std::optional<std::string> path = CurrentDialogs().AskFile(request);
  if (!path) return -1;
  return TakeNewPicture(*path) ? 1 : 0;
}
