// Card pictures: the file names of one picture per record and the
// horizontal mirror of a card (for printing on the back of clear stock).
#pragma once

#include <set>
#include <string>

class TBitmap;

// The name a record's text gives its card picture, without folder or
// extension: path separators and control characters become '_', leading
// dots too (no "..", no hidden file), outer blanks go, a long text is cut
// to 200 bytes on a character boundary; an empty text gives "无名".
std::string CardPictureBaseName(const std::string& text);

// The file names of one batch of card pictures in one folder: the folder,
// the record's name and the extension as the format box shows it. A name
// that an earlier record of the batch took gets " (2)", " (3)" ... so no
// record's picture overwrites another's.
class TCardPictureNames {
 public:
  TCardPictureNames(const std::string& folder, const std::string& extension);
  std::string Next(const std::string& recordText);

 private:
  std::string folder_, extension_;
  std::set<std::string> taken_;
};

// Mirrors the picture left to right in place, whatever its size: pixel
// (x, y) becomes the old (W - 1 - x, y). The picture ends up in 24 bits.
void MirrorHorizontally(TBitmap* bitmap);

// The picture of the current card that the single card picture window
// loads and prints: "temPic3.bmp" in the program's own temporary folder.
std::string SingleCardPicturePath();
