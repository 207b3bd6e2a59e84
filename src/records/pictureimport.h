// Pictures into the picture fields of the card-holder table: the type of a
// picture file by its extension, the field writer, the folder listing and
// the import command that the database editing window and the card batch
// window share (one file into the current record, or a whole folder matched
// to the records by name or taken in order).
#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "imaging/io/ieformats.h"

class TField;
class TMemoryStream;
class TPix;
class TProgressBar;
class TTable;

// A file extension (lower case, with its dot) and the type code a picture
// of that extension is written with.
struct TPictureType {
  const char* Extension;
  TIEFileType Code;
};
extern const std::vector<TPictureType> PictureTypeTable;

// The type code of a file by its extension (letters A-Z lower-cased);
// ieftUnknown when the file is no picture for these commands.
TIEFileType PictureTypeOfFile(const std::string& fileName);

// The code a picture of `code` goes into a field with. Icons, cursors and
// metafiles have no writer: they are stored as PNG, so an import never
// leaves an empty picture in place of the record's photo.
TIEFileType StoredPictureType(TIEFileType code);

// Stores the picture that `pix` holds into `field` (a BLOB field of a
// record in edit or insert state), written with `code` into `stream`, which
// is emptied afterwards. Raises, leaving the field as it was, when there is
// no picture or the writer fails.
void StorePictureStream(TPix* pix, TIEFileType code, TField* field, TMemoryStream* stream);

// Loads a picture file into `pix` by its extension; false when it is no
// picture for these commands or cannot be decoded.
bool LoadPictureFile(TPix* pix, const std::string& fileName);

// Decodes the picture a BLOB field holds into `pix`, recognised by its
// content as the field's views read it; false when the field is empty or
// holds no picture they read.
bool LoadFieldPicture(TPix* pix, TField* field);

// The files of a folder in the order the folder import takes them: oldest
// modification first, equal times by name (bytes). Subfolders and entries
// that are not plain files are left out. Full paths.
std::vector<std::string> PictureFolderListing(const std::string& folder);

// The key a by-name import compares: the text without blanks, letters A-Z
// lower-cased. A file name is compared without its extension.
std::string PictureNameKey(const std::string& text);

// The table's views rest while a command walks the records (each would
// decode every record's picture again) until the returned holder goes, also
// when the command fails; then they follow the table again.
std::shared_ptr<void> PauseTableViews(TTable* table);

// Where an import runs: the window's loader of pictures, its progress bar,
// and how it asks for the folder of a batch and for a single file.
struct TPictureImportPlace {
  TPix* Loader = nullptr;
  TPix* SingleLoader = nullptr;
  TProgressBar* Progress = nullptr;
  std::function<bool(std::string& folder)> ChooseFolder;
  std::function<bool(std::string& file)> ChooseFile;
};

// The picture import command: asks batch or single, by name or in order,
// and picture one or two, then fills the fields of FormPicEdit's table.
void ImportPictures(const TPictureImportPlace& place);

// The filter of the open dialogs that choose a picture file.
extern const char* const kPictureOpenFilter;
