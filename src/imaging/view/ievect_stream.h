// Little-endian reading and writing for the vector layer's object stream
// and clipboard block. Readers raise EIEVectorError on a short read or a
// value out of its range.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "platform/classes.h"

class TBitmap;

void IEVReadExact(TStream* s, void* buf, int64_t n);
int32_t IEVReadInt(TStream* s);
uint8_t IEVReadByte(TStream* s);
double IEVReadDouble(TStream* s);
// A count in 0..limit.
int32_t IEVReadCount(TStream* s, int32_t limit, const char* what);
std::string IEVReadString(TStream* s);
void IEVWriteInt(TStream* s, int32_t v);
void IEVWriteByte(TStream* s, uint8_t v);
void IEVWriteDouble(TStream* s, double d);
void IEVWriteString(TStream* s, const std::string& v);
// A picture as a PNG stream without any header (BMP before PNG was used).
void IEVWritePicture(TStream* s, TBitmap* bitmap);
std::unique_ptr<TBitmap> IEVReadPicture(TStream* s, bool png);
