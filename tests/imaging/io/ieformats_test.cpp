#include "imaging/io/ieformats.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "imaging/io/ielzwhooks.h"
#include "support/streambytes.h"
#include "support/testenv.h"

namespace {

using cwtest::Bytes;
using cwtest::Fill;

Bytes Of(const std::string& text, size_t size) {
  Bytes bytes(text.begin(), text.end());
  bytes.resize(size, 0x20);
  return bytes;
}

Bytes StreamHeader(const char* magic, int32_t length, size_t size) {
  Bytes bytes(12, 0);
  std::memcpy(bytes.data(), magic, 4);
  std::memcpy(bytes.data() + 8, &length, 4);
  bytes.resize(size, 0x20);
  return bytes;
}

void WriteFile(const std::string& name, const Bytes& bytes) {
  TFileStream file(name, fmCreate);
  file.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
}

// Restores the registry's list after a test that adds or removes entries.
class RegistryTest : public ::testing::Test {
 protected:
  void TearDown() override { iegFileFormats() = saved_; }

 private:
  std::vector<PIEFileFormatInfo> saved_ = iegFileFormats();
};

// A stream whose reads fail.
class BrokenStream : public TMemoryStream {
 public:
  int64_t Read(void*, int64_t) override { throw EReadError("Stream read error"); }
};

}  // namespace

TEST(FormatRegistry, BuiltInEntries) {
  const auto& list = iegFileFormats();
  ASSERT_GE(list.size(), 14u);
  for (int code = 1; code <= 14; ++code) EXPECT_EQ(list[code - 1]->FileType, code);

  const PIEFileFormatInfo jpeg = IEFileFormatGetInfo(ieftJPEG);
  ASSERT_NE(jpeg, nullptr);
  EXPECT_EQ(jpeg->FullName, "JPEG Bitmap");
  EXPECT_EQ(IEFileFormatGetInfo2("JpG"), jpeg);
  EXPECT_EQ(IEFileFormatGetInfo2("jpe"), jpeg);
  EXPECT_EQ(IEFileFormatGetExtCount(ieftJPEG), 3);
  EXPECT_EQ(IEFileFormatGetExt(ieftJPEG, 2), "JPE");
  EXPECT_EQ(IEFileFormatGetExt(ieftJPEG, 3), "");
  EXPECT_EQ(IEFileFormatGetExt(99, 0), "");
  EXPECT_EQ(IEFileFormatGetExtCount(99), 0);
  EXPECT_EQ(IEFileFormatGetInfo(ieftUnknown), nullptr);
  EXPECT_EQ(IEFileFormatGetInfo2("xyz"), nullptr);
  EXPECT_EQ(IEFileFormatGetInfo2(""), nullptr);
  EXPECT_EQ(IEFileFormatGetInfo2("pix")->FileType, ieftTGA);
  EXPECT_EQ(IEFileFormatGetInfo2("PBM")->FileType, ieftPXM);
  EXPECT_EQ(IEFileFormatGetInfo2("j2c")->FileType, ieftJ2K);

  // What each format can do, as the dialogs see it.
  for (TIEFileType code : {ieftICO, ieftCUR, ieftWMF, ieftEMF}) {
    EXPECT_NE(IEFileFormatGetInfo(code)->ReadFunction, nullptr) << code;
    EXPECT_EQ(IEFileFormatGetInfo(code)->WriteFunction, nullptr) << code;
  }
  EXPECT_NE(IEFileFormatGetInfo(ieftBMP)->WriteFunction, nullptr);

  EXPECT_TRUE(IsKnownFormat("photo.TIFF"));
  EXPECT_TRUE(IsKnownFormat("dir.v2/card.g3n"));
  EXPECT_FALSE(IsKnownFormat("notes.txt"));
  EXPECT_FALSE(IsKnownFormat("no-extension"));
}

TEST_F(RegistryTest, AddedFormatIsFoundAndRecognisedAndRemoved) {
  TIEFileFormatInfo info;
  info.FileType = 40;
  info.FullName = std::string(100, 'N');
  info.Extensions = "abc;";
  info.TryFunction = [](TStream* s) {
    char magic[3] = {};
    return s->Read(magic, 3) == 3 && std::memcmp(magic, "ABC", 3) == 0;
  };
  IEFileFormatAdd(info);
  const PIEFileFormatInfo added = IEFileFormatGetInfo(40);
  ASSERT_NE(added, nullptr);
  EXPECT_EQ(added->FullName.size(), 80u);
  EXPECT_EQ(IEFileFormatGetExtCount(40), 1);
  EXPECT_EQ(IEFileFormatGetInfo2("ABC"), added);
  EXPECT_EQ(added->ReadFunction, nullptr);

  TMemoryStream stream;
  Fill(stream, Of("ABC", 20));
  EXPECT_EQ(FindStreamFormat(&stream), 40);

  IEFileFormatRemove(40);
  EXPECT_EQ(IEFileFormatGetInfo(40), nullptr);
  EXPECT_EQ(FindStreamFormat(&stream), ieftUnknown);
  EXPECT_EQ(added->FileType, 40);  // a pointer held by a caller stays valid
  IEFileFormatRemove(40);
}

TEST_F(RegistryTest, GIFIsOfferedOnlyWithTheLZWCoders) {
  const PIEFileFormatInfo gif = IEFileFormatGetInfo(ieftGIF);
  IEUpdateGIFStatus();
  EXPECT_EQ(gif->ReadFunction, nullptr);
  EXPECT_EQ(gif->WriteFunction, nullptr);

  DefGIF_LZWDECOMPFUNC = [](TStream*, int32_t, int32_t, bool, uint8_t*) {};
  IEUpdateGIFStatus();
  EXPECT_NE(gif->ReadFunction, nullptr);
  EXPECT_EQ(gif->WriteFunction, nullptr);
  DefGIF_LZWDECOMPFUNC = nullptr;
  IEUpdateGIFStatus();
  EXPECT_EQ(gif->ReadFunction, nullptr);
  gif->ReadFunction = IEPlaceholderRead;
  gif->WriteFunction = IEPlaceholderWrite;
}

TEST(ContentSniffing, HeaderProbes) {
  struct Case {
    const char* what;
    Bytes bytes;
    TIEFileType expected;
  };
  Bytes jfifBadEnd = StreamHeader("JFIF", 1, 13);
  jfifBadEnd[4] = 'X';
  const Case cases[] = {
      {"JFIF stream header alone", StreamHeader("JFIF", 0, 12), ieftUnknown},
      {"JFIF stream header and data", StreamHeader("JFIF", 1, 13), ieftJPEG},
      {"JFIF magic not ended by a NUL", jfifBadEnd, ieftUnknown},
      {"GIF of 14 bytes", Of("GIF89a", 14), ieftGIF},
      {"GIF of 13 bytes", Of("GIF89a", 13), ieftUnknown},
      {"GIF before BMP", Of("GIFBM", 200), ieftGIF},
      {"PCX2 stream header", StreamHeader("PCX2", 1, 13), ieftPCX},
      {"old PCX stream form", Of(std::string("PCX\0", 4), 5), ieftPCX},
      {"old PCX form without its NUL", Of("PCXX", 5), ieftUnknown},
      {"BMP header alone", Of("BM", 14), ieftUnknown},
      {"BMP header and data", Of("BM", 15), ieftBMP},
      {"PCX file of 129 bytes", Of(std::string("\x0A\x05", 2), 129), ieftPCX},
      {"PCX file of 128 bytes", Of(std::string("\x0A\x05", 2), 128), ieftUnknown},
      {"PCX file of an unknown version", Of(std::string("\x0A\x06", 2), 300), ieftUnknown},
      {"TIFF stream header", StreamHeader("TIFF", 1, 13), ieftTIFF},
      {"little-endian TIFF", Of("II*", 9), ieftTIFF},
      {"big-endian TIFF", Of("MM", 9), ieftTIFF},
      {"TIFF of 8 bytes", Of("II*", 8), ieftUnknown},
      {"empty stream", {}, ieftUnknown},
      {"text", Of("hello", 500), ieftUnknown},
  };
  TMemoryStream stream;
  for (const Case& c : cases) {
    Fill(stream, c.bytes);
    EXPECT_EQ(FindStreamFormat(&stream), c.expected) << c.what;
    EXPECT_EQ(stream.GetPosition(), 0) << c.what;
  }
}

TEST(ContentSniffing, StartsAtThePositionAndPutsItBack) {
  Bytes bytes = Of("xyz", 3);
  const Bytes bmp = Of("BM", 40);
  bytes.insert(bytes.end(), bmp.begin(), bmp.end());
  TMemoryStream stream;
  Fill(stream, bytes);
  stream.SetPosition(3);
  EXPECT_EQ(FindStreamFormat(&stream), ieftBMP);
  EXPECT_EQ(stream.GetPosition(), 3);
  stream.SetPosition(4);
  EXPECT_EQ(FindStreamFormat(&stream), ieftUnknown);
  EXPECT_EQ(stream.GetPosition(), 4);
}

TEST_F(RegistryTest, FailuresGiveNoFormat) {
  BrokenStream broken;
  Fill(broken, Of("BM", 40));
  EXPECT_EQ(FindStreamFormat(&broken), ieftUnknown);

  TIEFileFormatInfo raising;
  raising.FileType = 41;
  raising.TryFunction = [](TStream* s) -> bool {
    s->Seek(5, soCurrent);
    throw EReadError("Stream read error");
  };
  IEFileFormatAdd(raising);
  TMemoryStream stream;
  Fill(stream, Of("BM", 40));
  stream.SetPosition(1);
  EXPECT_EQ(FindStreamFormat(&stream), ieftUnknown);
  EXPECT_EQ(stream.GetPosition(), 1);
}

TEST_F(RegistryTest, FileFormatWithAndWithoutTheExtension) {
  cwtest::TempDir dir;
  const Bytes jpeg = StreamHeader("JFIF", 4, 16);
  WriteFile(dir.file("photo.png"), jpeg);
  WriteFile(dir.file("photo.JPG"), jpeg);
  WriteFile(dir.file("photo.xyz"), jpeg);
  EXPECT_EQ(FindFileFormat(dir.file("photo.png"), false), ieftJPEG);
  EXPECT_EQ(FindFileFormat(dir.file("photo.png"), true), ieftUnknown);
  EXPECT_EQ(FindFileFormat(dir.file("photo.JPG"), true), ieftJPEG);
  EXPECT_EQ(FindFileFormat(dir.file("photo.xyz"), true), ieftUnknown);
  EXPECT_EQ(FindFileFormat(dir.file("missing.jpg"), false), ieftUnknown);

  // Icons and cursors share their layout: the name decides between them,
  // but an icon named as some other format is not taken for that format.
  TIEFileFormatInfo iconTest;
  iconTest.FileType = ieftICO;
  iconTest.TryFunction = [](TStream* s) {
    uint8_t head[4] = {};
    return s->Read(head, 4) == 4 && head[0] == 0 && head[1] == 0 && head[2] == 1 && head[3] == 0;
  };
  IEFileFormatAdd(iconTest);
  const Bytes icon = {0, 0, 1, 0, 1, 0, 16, 16};
  for (const char* name : {"a.ico", "a.cur", "a.bmp"}) WriteFile(dir.file(name), icon);
  EXPECT_EQ(FindFileFormat(dir.file("a.ico"), true), ieftICO);
  EXPECT_EQ(FindFileFormat(dir.file("a.cur"), true), ieftCUR);
  EXPECT_EQ(FindFileFormat(dir.file("a.cur"), false), ieftICO);
  EXPECT_EQ(FindFileFormat(dir.file("a.bmp"), true), ieftUnknown);
}

TEST(ContentSniffing, PicturesMadeElsewhere) {
  struct Case {
    const char* file;
    TIEFileType expected;
  };
  const Case cases[] = {
      {"bmp-24bit-97x61.bmp", ieftBMP},       {"bmp-os2-8bit-33x21.bmp", ieftBMP},
      {"ico-24bit-32x32.ico", ieftICO},       {"ico-png-64x64.ico", ieftICO},
      {"cur-1bit-32x32.cur", ieftCUR},        {"jpg-baseline-420-97x61.jpg", ieftJPEG},
      {"jpg-progressive-97x61.jpg", ieftJPEG}, {"jpg-exif-97x61.jpg", ieftJPEG},
  };
  for (const Case& c : cases) {
    const std::string name = cwtest::DataPath(std::string("pictures/") + c.file).string();
    EXPECT_EQ(FindFileFormat(name, false), c.expected) << c.file;
    EXPECT_EQ(FindFileFormat(name, true), c.expected) << c.file;
  }

  // An icon under a cursor's name is taken for a cursor, and the other way
  // round; under a picture name of another kind it is refused.
  cwtest::TempDir dir;
  TMemoryStream icon;
  icon.LoadFromFile(cwtest::DataPath("pictures/ico-24bit-32x32.ico").string());
  icon.SaveToFile(dir.file("icon.cur"));
  icon.SaveToFile(dir.file("icon.jpg"));
  EXPECT_EQ(FindFileFormat(dir.file("icon.cur"), true), ieftCUR);
  EXPECT_EQ(FindFileFormat(dir.file("icon.jpg"), true), ieftUnknown);
  TMemoryStream cursor;
  cursor.LoadFromFile(cwtest::DataPath("pictures/cur-1bit-32x32.cur").string());
  cursor.SaveToFile(dir.file("cursor.ico"));
  EXPECT_EQ(FindFileFormat(dir.file("cursor.ico"), true), ieftICO);
}

TEST(StreamHeader, WrittenAroundThePayloadAndReadBack) {
  TMemoryStream stream;
  stream.WriteBuffer("pre", 3);
  bool aborting = false;
  const int64_t start = IEBeginStreamHeader(&stream, aborting);
  EXPECT_EQ(start, 3);
  stream.WriteBuffer("12345", 5);
  IEFinishStreamHeader(&stream, start, IETIFFStreamMagic, aborting);
  EXPECT_FALSE(aborting);
  EXPECT_EQ(stream.GetPosition(), 20);
  const auto* bytes = static_cast<const uint8_t*>(stream.Memory());
  EXPECT_EQ(Bytes(bytes + 3, bytes + 15), StreamHeader("TIFF", 5, 12));

  int32_t length = -1;
  stream.SetPosition(3);
  EXPECT_FALSE(IEReadStreamHeader(&stream, IEJpegStreamMagic, length));
  EXPECT_EQ(stream.GetPosition(), 3);
  EXPECT_TRUE(IEReadStreamHeader(&stream, IETIFFStreamMagic, length));
  EXPECT_EQ(length, 5);
  EXPECT_EQ(stream.GetPosition(), 15);

  // A negative length or a short stream is no header.
  TMemoryStream bad;
  Fill(bad, StreamHeader("JFIF", -1, 20));
  EXPECT_FALSE(IEReadStreamHeader(&bad, IEJpegStreamMagic, length));
  EXPECT_EQ(bad.GetPosition(), 0);
  Fill(bad, StreamHeader("JFIF", 0, 12));
  bad.SetSize(11);
  EXPECT_FALSE(IEReadStreamHeader(&bad, IEJpegStreamMagic, length));
}

TEST(StreamHeader, AbortedWriteLeavesNoLength) {
  TMemoryStream stream;
  bool aborting = false;
  const int64_t start = IEBeginStreamHeader(&stream, aborting);
  stream.WriteBuffer("partial", 7);
  aborting = true;
  IEFinishStreamHeader(&stream, start, IEJpegStreamMagic, aborting);
  EXPECT_EQ(stream.GetPosition(), 19);
  const auto* bytes = static_cast<const uint8_t*>(stream.Memory());
  EXPECT_EQ(Bytes(bytes, bytes + 12), Bytes(12, 0));
  stream.SetPosition(0);
  EXPECT_EQ(FindStreamFormat(&stream), ieftUnknown);
}
