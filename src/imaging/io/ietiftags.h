// A read-only view of the tags of one image directory of a TIFF file or
// stream, for callers that want tags the reader does not interpret.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "imaging/io/tiffilt.h"
#include "platform/classes.h"

class TIETifTagsReader : public TObject {
 public:
  // Opens the file for reading (others may read, not write) and loads the
  // tags of image imageindex (zero-based).
  TIETifTagsReader(const std::string& filename, int32_t imageindex);
  // The same over the caller's stream, which stays the caller's.
  TIETifTagsReader(TStream* stream, int32_t imageindex);
  ~TIETifTagsReader() override;

  bool TagExists(uint16_t tag) const;
  // The number of values.
  int32_t TagLength(uint16_t tag) const;
  // A single value stored in the entry; 0 when absent.
  int32_t GetInteger(uint16_t tag) const;
  int32_t GetIntegerIndexed(uint16_t tag, int32_t index) const;
  // All values; returns their count.
  int32_t GetIntegerArray(uint16_t tag, std::vector<int32_t>& array) const;
  double GetRational(uint16_t tag) const;
  double GetRationalIndexed(uint16_t tag, int32_t index) const;
  std::string GetString(uint16_t tag) const;
  // A string stored inside the entry itself.
  std::string GetMiniString(uint16_t tag) const;
  std::vector<uint8_t> GetRawData(uint16_t tag) const;

 private:
  void Load(TStream* stream, int32_t imageindex);

  std::unique_ptr<TFileStream> file_;  // when opened by name
  TTIFFEnv env_;
};
