#include "imaging/io/ietiftags.h"

TIETifTagsReader::TIETifTagsReader(const std::string& filename, int32_t imageindex)
    : file_(std::make_unique<TFileStream>(filename, fmOpenRead | fmShareDenyWrite)) {
  Load(file_.get(), imageindex);
}

TIETifTagsReader::TIETifTagsReader(TStream* stream, int32_t imageindex) { Load(stream, imageindex); }

TIETifTagsReader::~TIETifTagsReader() { TIFFFreeTags(env_); }

void TIETifTagsReader::Load(TStream* stream, int32_t imageindex) {
  int32_t pages = 0;
  TIFFLoadTags(stream, pages, imageindex, env_);
}

bool TIETifTagsReader::TagExists(uint16_t tag) const { return TIFFFindTAG(tag, env_) >= 0; }

int32_t TIETifTagsReader::TagLength(uint16_t tag) const { return TIFFGetDataLength(env_, tag); }

int32_t TIETifTagsReader::GetInteger(uint16_t tag) const { return TIFFReadSingleValDef(env_, tag, 0); }

int32_t TIETifTagsReader::GetIntegerIndexed(uint16_t tag, int32_t index) const {
  return TIFFReadIndexValN(env_, tag, index);
}

int32_t TIETifTagsReader::GetIntegerArray(uint16_t tag, std::vector<int32_t>& array) const {
  return TIFFReadArrayIntegers(env_, array, tag);
}

double TIETifTagsReader::GetRational(uint16_t tag) const { return TIFFReadSingleRational(env_, tag); }

double TIETifTagsReader::GetRationalIndexed(uint16_t tag, int32_t index) const {
  return TIFFReadRationalIndex(env_, tag, index);
}

std::string TIETifTagsReader::GetString(uint16_t tag) const { return TIFFReadString(env_, tag); }

std::string TIETifTagsReader::GetMiniString(uint16_t tag) const {
  return TIFFReadMiniString(env_, tag);
}

std::vector<uint8_t> TIETifTagsReader::GetRawData(uint16_t tag) const {
  return TIFFReadRawData(env_, tag);
}
