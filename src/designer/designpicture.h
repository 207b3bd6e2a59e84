// Picture files of the design items (the seal, the inserted picture and
// the other pictures the designer loads by name): read by the file's
// extension through the framework's graphics.
#pragma once

#include <string>

class TPicture;

// Loads the file into `picture` by its upper-cased name. A name holding
// ".BMP" anywhere is loaded as it stands; ".ICO", ".WMF", ".EMF", ".JPG"
// and ".JPEG" files are drawn into a bitmap of their own size. Any other
// name loads nothing and gives false. A file that cannot be read raises,
// and the picture keeps what it held.
bool LoadDesignPicture(TPicture* picture, const std::string& path);

class TBitmap;

// A bitmap copy of whatever graphic the picture holds (empty for none).
void PictureToBitmap(TPicture* picture, TBitmap* bitmap);
