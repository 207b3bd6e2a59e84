// TQRDBPix: a report printable that prints, for every record the report
// walks, the picture stored in one BLOB field of the band's data set. The
// picture is decoded afresh for each print, fitted and centred in the
// printable's box (qrprintpath.h) and drawn on the report printer's canvas.
//
// It reads BMP, JPEG, GIF, PCX, TIFF and PNG field images (fieldimage.h);
// anything else, an empty field or an inactive data set prints no picture.
// With PrintObjects the field also holds vector objects after the picture
// (the object stream of ievect.h); they are drawn onto the picture before
// it prints. Objects that cannot be read leave the picture alone.
#pragma once

#include <string>

#include "imaging/view/fieldimage.h"
#include "imaging/view/qrprintpath.h"
#include "platform/db.h"

class TPixIO;
class TPixVect;

class TQRDBPix : public TQRPicturePrintable {
 public:
  explicit TQRDBPix(TComponent* Owner = nullptr);
  ~TQRDBPix() override;

  bool GetAutoDisplay() const { return autoDisplay_; }
  // Switching on sniffs the current record's picture.
  void SetAutoDisplay(bool Value);
  std::string GetDataField() const { return dataLink_->GetFieldName(); }
  void SetDataField(const std::string& Value) { dataLink_->SetFieldName(Value); }
  TDataSource* GetDataSource() const { return dataLink_->GetDataSource(); }
  void SetDataSource(TDataSource* Value) { dataLink_->SetDataSource(Value); }
  TField* GetField() const { return dataLink_->Field(); }
  // The format sniffed at the last record change with a picture.
  virtual TDataFieldImageFormat GetDataFieldImageFormat() const { return dataFieldImageFormat_; }

  // The field's JPEG, PCX and TIFF pictures carry the 12-byte stream header.
  bool StreamHeaders = true;
  // ShadowSize and ShadowType are kept with the design; this printable
  // draws no shadow and no outline.
  bool PrintObjects = false;

  // Decodes the current record's picture into the bitmap attached to IO
  // (only its parameters when none is attached) and, with PrintObjects,
  // offers the rest of the field to Vect's object reader.
  void LoadPictureEx(TPixIO* IO, TPixVect* Vect);
  void Print(double OfsX, double OfsY) override;

 protected:
  virtual void DataChange(TObject* Sender);
  virtual void LoadPicture();
  virtual TDataFieldImageFormat LoadedFieldImageFormat();

 private:
  bool DataReady() const;
  // A JPEG field printed whole and unchanged goes onto the page in its
  // bytes, never decoded; false when the field's picture is not one.
  bool PrintFieldJpeg(double OfsX, double OfsY);
  TBlobField* BlobWithContent() const;

  TFieldDataLink* dataLink_;
  bool autoDisplay_ = true;
  TDataFieldImageFormat dataFieldImageFormat_ = ifBitmap;
};
