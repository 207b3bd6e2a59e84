// Whole-file JPEG operations and saves through the file component: a target
// is replaced only by a complete result.
#include "imaging/io/jpegfiles.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "imaging/core/iebitmap.h"
#include "imaging/core/iemetadata.h"
#include "imaging/io/pixio.h"
#include "pictures.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
  std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

// Width and height of a JPEG file as the file component reads it.
std::pair<int, int> SizeOf(const std::string& path) {
  TIEBitmap picture;
  TPixIO io(nullptr);
  io.SetAttachedIEBitmap(&picture);
  io.LoadFromFile(path);
  return {picture.Width, picture.Height};
}

TEST(JpegFiles, TransformWritesTheTargetOnlyWhenItSucceeds) {
  TempDir dir;
  const std::string source = dir.file("photo.jpg"), target = dir.file("turned.jpg"), junk = dir.file("junk.jpg");
  WriteBytes(source, ReadBytes(PicturePath("jpg-iptc-97x61.jpg")));
  const std::vector<uint8_t> old = {'o', 'l', 'd'};
  WriteBytes(target, old);
  WriteBytes(junk, {'n', 'o', 't', ' ', 'a', ' ', 'j', 'p', 'e', 'g'});

  EXPECT_FALSE(JpegLosslessTransform(junk, target, jtRotate90, false, jcCopyAll, {}));
  EXPECT_EQ(ReadBytes(target), old) << "a failed transform replaced the target";
  EXPECT_FALSE(JpegLosslessTransform(dir.file("missing.jpg"), target, jtRotate90, false, jcCopyAll, {}));
  EXPECT_EQ(ReadBytes(target), old);
  // Onto itself the source is open for reading, so the target is refused.
  const std::vector<uint8_t> original = ReadBytes(source);
  EXPECT_FALSE(JpegLosslessTransform(source, source, jtRotate90, false, jcCopyAll, {}));
  EXPECT_EQ(ReadBytes(source), original);

  ASSERT_TRUE(JpegLosslessTransform(source, target, jtRotate90, false, jcCopyAll, {}));
  const auto [w, h] = SizeOf(source);
  const auto [tw, th] = SizeOf(target);
  // Turned a quarter: the width becomes the height; the partial block row
  // that lands on the trailing edge is dropped, as lossless turns do.
  EXPECT_EQ(th, w);
  EXPECT_LE(tw, h);
  EXPECT_GT(tw, h - 16);
  EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 3);
}

TEST(JpegFiles, InjectedIptcReplacesTheFileOnlyWhenTheCopySucceeded) {
  TempDir dir;
  const std::string photo = dir.file("photo.jpg"), junk = dir.file("junk.jpg");
  WriteBytes(photo, ReadBytes(PicturePath("jpg-iptc-97x61.jpg")));
  const std::vector<uint8_t> notJpeg = {'G', 'I', 'F', '8', '9', 'a', 0, 0};
  WriteBytes(junk, notJpeg);

  TPixIO io(nullptr);
  int finished = 0;
  io.OnFinishWork = [&](TObject*) { ++finished; };
  io.IOParams->IPTC_InfoList->AddStringItem(2, 5, "holder 0042");
  EXPECT_FALSE(io.InjectJpegIPTC(junk));
  EXPECT_EQ(ReadBytes(junk), notJpeg);
  EXPECT_FALSE(io.InjectJpegIPTC(dir.file("missing.jpg")));
  EXPECT_EQ(finished, 2);

  ASSERT_TRUE(io.InjectJpegIPTC(photo));
  TIEBitmap picture;
  TPixIO reader(nullptr);
  reader.SetAttachedIEBitmap(&picture);
  reader.LoadFromFile(photo);
  EXPECT_FALSE(reader.Aborting);
  TIEIPTCInfoList* read = reader.IOParams->IPTC_InfoList;
  EXPECT_EQ(read->GetStrings(read->IndexOf(2, 5)), "holder 0042");
}

TEST(JpegFiles, AnAbortedSaveLeavesTheFileThatWasThere) {
  TempDir dir;
  const std::string path = dir.file("card.jpg");
  const std::vector<uint8_t> original = ReadBytes(PicturePath("jpg-iptc-97x61.jpg"));
  WriteBytes(path, original);
  TIEBitmap picture;
  picture.Allocate(640, 480, ie24RGB);
  TPixIO io(nullptr);
  io.SetAttachedIEBitmap(&picture);
  io.OnProgress = [&](TObject*, int) { io.Aborting = true; };  // the user stops the save
  for (const char* name : {"card.jpg", "card.bmp", "card.png", "card.tif", "card.pcx", "card.gif"}) {
    const std::string target = dir.file(name);
    if (target != path) WriteBytes(target, original);
    io.SaveToFile(target);
    EXPECT_TRUE(io.Aborting) << name;
    EXPECT_EQ(ReadBytes(target), original) << name;
  }
  io.OnProgress = nullptr;
  io.SaveToFile(path);
  EXPECT_FALSE(io.Aborting);
  EXPECT_EQ(SizeOf(path), std::make_pair(640, 480));
}

}  // namespace
