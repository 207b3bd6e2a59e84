// Windows metafiles as a graphic of the framework: placeable and plain
// metafiles (WMF) and enhanced metafiles (EMF), read from untrusted bytes
// and drawn by playing their records into a rectangle of a canvas.
//
// Playback only changes the pixels the records draw, so a metafile drawn
// over a picture is transparent wherever it draws nothing. Saving writes
// the bytes as they were read; a metafile that holds nothing writes an
// empty, valid file of its kind.
#pragma once

#include <cstdint>
#include <vector>

#include "platform/graphics.h"

class TMetafile : public TGraphic {
 public:
  TMetafile();
  ~TMetafile() override;
  TMetafile(const TMetafile&) = delete;
  TMetafile& operator=(const TMetafile&) = delete;

  // Size in pixels at the screen's resolution; the setters change the size
  // the metafile is drawn at (as the framework's metafile does).
  int GetWidth() const override;
  int GetHeight() const override;
  void SetWidth(int w) override;
  void SetHeight(int h) override;
  bool GetEmpty() const override { return data_.empty(); }

  // Size in hundredths of a millimetre.
  int MMWidth = 0;
  int MMHeight = 0;
  // Enhanced (EMF) or Windows (WMF) form; set by loading, and by saving
  // under a ".wmf" name (false) or any other name (true).
  bool Enhanced = true;

  // Every record size, count and offset is checked against the bytes; a
  // bad file raises EInvalidGraphic and leaves the metafile as it was.
  void LoadFromStream(TStream* stream) override;
  void SaveToStream(TStream* stream) override;
  void SaveToFile(const std::string& name) override;
  // From another metafile (copy) or nullptr (empty). Any other graphic,
  // a bitmap included, leaves the metafile empty: nothing converts pixels
  // into records.
  void Assign(TPersistent* source) override;
  // Plays the records into `rect` of the canvas.
  void Draw(TCanvas* canvas, const TRect& rect) override;

  // The bytes as read (empty when nothing was loaded).
  const std::vector<uint8_t>& Data() const { return data_; }

 private:
  void Changed();
  std::vector<uint8_t> data_;
};
