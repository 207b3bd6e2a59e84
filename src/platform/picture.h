// Pictures of the controls: the icon graphic and TPicture, the holder of
// any one graphic that TImage shows and that loads and saves by file
// extension through a table of graphic classes.
#pragma once

#include <QImage>
#include <functional>
#include <memory>
#include <string>

#include "platform/graphics.h"

// A size change asked of a graphic that cannot change it.
CW_DECLARE_EXCEPTION(EInvalidGraphicOperation, Exception)

// An icon (ICO file form); its size is that of the picture it holds.
class TIcon : public TGraphic {
 public:
  int GetWidth() const override { return image_.width(); }
  int GetHeight() const override { return image_.height(); }
  // Icons cannot be resized: raises EInvalidGraphicOperation.
  void SetWidth(int w) override;
  void SetHeight(int h) override;
  bool GetEmpty() const override { return image_.isNull(); }
  // Untrusted bytes: anything that is no icon raises EInvalidGraphic.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  void Assign(TPersistent* source) override;

  // The icon over a background colour, as a bitmap the canvas can draw.
  void DrawInto(TBitmap& bitmap, TColor background) const;
  const QImage& Image() const { return image_; }
  void SetImage(const QImage& image);

 private:
  QImage image_;
};

class TPicture : public TPersistent {
 public:
  TPicture();
  ~TPicture() override;
  TPicture(const TPicture&) = delete;
  TPicture& operator=(const TPicture&) = delete;

  // The graphic held (nullptr when empty).
  TGraphic* GetGraphic() const { return graphic_.get(); }
  // Holds a copy of `graphic` (nullptr empties the picture).
  void SetGraphic(TGraphic* graphic);
  // The graphic as a bitmap; any other graphic is replaced by an empty bitmap.
  TBitmap* GetBitmap();
  void SetBitmap(TBitmap* bitmap) { SetGraphic(bitmap); }
  // The graphic as an icon; any other graphic is replaced by an empty icon.
  TIcon* GetIcon();

  int GetWidth() const { return graphic_ ? graphic_->GetWidth() : 0; }
  int GetHeight() const { return graphic_ ? graphic_->GetHeight() : 0; }

  // Reads a file by its extension (case ignored) into a new graphic of the
  // registered class; an unknown extension raises EInvalidGraphic and
  // leaves the picture as it was.
  void LoadFromFile(const std::string& name);
  void SaveToFile(const std::string& name);
  // Copies a picture, a graphic, or empties on nullptr.
  void Assign(TPersistent* source) override;

  // Registers a graphic class for an extension (without the dot).
  using TGraphicFactory = std::function<TGraphic*()>;
  static void RegisterFileFormat(const std::string& extension, const std::string& description,
                                 TGraphicFactory factory);
  // The open-dialog filter of every registered format.
  static std::string GraphicFilter();

  TNotifyEvent OnChange;

 private:
  template <class T>
  T* Ensure();
  void Take(TGraphic* graphic);
  void Changed();
  std::unique_ptr<TGraphic> graphic_;
};
