// TPixDBView: an image view bound to one field of a data set. It shows the
// current record's picture and writes the edited picture back when the
// record is posted. The field is a BLOB holding a field image
// (fieldimage.h), or a string holding a file name below AbsolutePath.
//
// An edit is any picture change outside a load (an attached I/O or
// processing component calls ImageChange): it marks the field for
// rewriting; the view never starts editing the data set by itself. Until the
// next record change the edit is kept: reloading does nothing.
#pragma once

#include <string>

#include "imaging/view/fieldimage.h"
#include "imaging/view/pixview.h"
#include "platform/db.h"

class TIOParamsVals;
class TPixIO;

class TPixDBView : public TPixView {
 public:
  explicit TPixDBView(TComponent* Owner);
  ~TPixDBView() override;

  bool GetAutoDisplay() const { return autoDisplay_; }
  void SetAutoDisplay(bool Value);
  std::string GetDataField() const { return dataLink_->GetFieldName(); }
  void SetDataField(const std::string& Value) { dataLink_->SetFieldName(Value); }
  TDataSource* GetDataSource() const { return dataLink_->GetDataSource(); }
  void SetDataSource(TDataSource* Value) { dataLink_->SetDataSource(Value); }
  bool GetReadOnly() const { return dataLink_->ReadOnly; }
  void SetReadOnly(bool Value) { dataLink_->ReadOnly = Value; }
  TField* GetField() const { return dataLink_->Field(); }

  // The format in which the picture is written back. Setting it marks the
  // picture edited, so the next post rewrites it in that format.
  virtual TDataFieldImageFormat GetDataFieldImageFormat() const { return dataFieldImageFormat_; }
  virtual void SetDataFieldImageFormat(TDataFieldImageFormat Value);
  int GetJPegQuality() const;
  void SetJPegQuality(int Value);
  TIOParamsVals* GetIOParams() const;

  // Folder prefix put before a string field's file name, joined as it
  // stands (no separator added). Setting it drops an edit and reloads.
  std::string GetAbsolutePath() const { return absolutePath_; }
  void SetAbsolutePath(const std::string& Value);

  // JPEG, PCX and TIFF pictures in the field carry the 12-byte stream header.
  bool StreamHeaders = false;

  // Reads the current record's picture through IO: the field image reader.
  void LoadPictureEx(TPixIO* IO);
  void ImageChange() override;
  // True while an edit waits for the record to be posted.
  bool IsModified() const { return modified_; }

 protected:
  virtual void DataChange(TObject* Sender);
  virtual void UpdateData(TObject* Sender);
  virtual void LoadPicture();
  virtual TDataFieldImageFormat LoadedFieldImageFormat();
  void Dispatch(TMessage& message) override;

 private:
  bool DataReady() const;
  std::string FileOfField() const;
  void LoadBlob(TPixIO* IO, TBlobField* blob);
  void LoadFile(TPixIO* IO, const std::string& fileName);

  TFieldDataLink* dataLink_;
  TPixIO* io_;
  bool autoDisplay_ = true;
  TDataFieldImageFormat dataFieldImageFormat_ = ifBitmap;
  std::string absolutePath_;
  bool modified_ = false;
  bool loading_ = false;
};
