#include "platform/gbk.h"

#include <gtest/gtest.h>

#include <thread>
#include <vector>

TEST(Gbk, ConvertsBothWays) {
  struct Case {
    std::string utf8, gbk;
  } cases[] = {
      {"", ""},
      {"abc=1", "abc=1"},
      {"中文", "\xD6\xD0\xCE\xC4"},
      {"无法装入图像文件", "\xCE\xDE\xB7\xA8\xD7\xB0\xC8\xEB\xCD\xBC\xCF\xF1\xCE\xC4\xBC\xFE"},
      {"€", "\x80"},  // code page 936 has the euro sign
      {"I空白I", "I\xBF\xD5\xB0\xD7I"},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(Utf8ToGbk(c.utf8), c.gbk) << c.utf8;
    EXPECT_EQ(GbkToUtf8(c.gbk), c.utf8) << c.utf8;
  }
}

TEST(Gbk, BadBytesAreReplacedAndTheRestKept) {
  // A lead byte with no valid trail, a byte GBK never uses, a cut-off lead.
  EXPECT_EQ(GbkToUtf8("a\x81 b"), "a\xEF\xBF\xBD b");
  EXPECT_EQ(GbkToUtf8("\xFF\xD6\xD0"), "\xEF\xBF\xBD中");
  EXPECT_EQ(GbkToUtf8("\xD6\xD0\xCE"), "中\xEF\xBF\xBD");
  // Characters GBK lacks and broken UTF-8 become '?'.
  EXPECT_EQ(Utf8ToGbk("a\xF0\x9F\x98\x80" "b"), "a?b");
  EXPECT_EQ(Utf8ToGbk("\xC3" "x\xE4\xB8"), "?x?");
}

TEST(Gbk, TruncateStopsOnACharacterBoundary) {
  const std::string s = "a\xD6\xD0" "b\xCE\xC4";  // a中b文
  struct Case {
    size_t max;
    std::string expect;
  } cases[] = {{0, ""}, {1, "a"}, {2, "a"}, {3, "a\xD6\xD0"}, {4, "a\xD6\xD0" "b"},
               {5, "a\xD6\xD0" "b"}, {6, s}, {100, s}};
  for (const Case& c : cases) EXPECT_EQ(GbkTruncate(s, c.max), c.expect) << c.max;
  // A lead byte without its trail at the end is not a whole character.
  EXPECT_EQ(GbkTruncate("ab\xD6", 10), "ab");
  // Trail bytes in the ASCII range do not end a character early.
  EXPECT_EQ(GbkTruncate("\x81\x40x", 1), "");
}

TEST(Gbk, ThreadsConvertAtTheSameTime) {
  const std::string utf8 = "卡片模板中文测试 abc 123";
  const std::string gbk = Utf8ToGbk(utf8);
  std::vector<std::thread> threads;
  std::vector<int> failures(4, 0);
  for (int t = 0; t < 4; ++t) {
    threads.emplace_back([&, t] {
      for (int i = 0; i < 2000; ++i)
        if (Utf8ToGbk(utf8) != gbk || GbkToUtf8(gbk) != utf8) ++failures[t];
    });
  }
  for (std::thread& th : threads) th.join();
  for (int f : failures) EXPECT_EQ(f, 0);
}
