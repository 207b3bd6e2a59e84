// The card template reader over arbitrary bytes, plain and scrambled: it
// either refuses the bytes or gives a record that the writer stores in a
// form the reader takes back unchanged.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "designer/cardtemplate.h"
#include "designer/templatescramble.h"

namespace {

bool Parses(const std::string& bytes, CardTemplate& design) {
  try {
    design = ParseCardTemplate(bytes);
    return true;
  } catch (const ECardTemplateError&) {
    return false;
  }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const std::string& plain : {bytes, UnscrambleTemplateBytes(bytes)}) {
    CardTemplate first;
    if (!Parses(plain, first)) continue;
    // The first write settles what the file cannot hold (the character set
    // is always written as the default one, text GBK cannot hold becomes
    // '?'); from then on a write and a read change nothing.
    CardTemplate second, third;
    if (!Parses(FormatCardTemplate(first), second)) std::abort();
    if (!Parses(FormatCardTemplate(second), third) || !(third == second)) std::abort();
    if (FormatCardTemplate(second) != FormatCardTemplate(third)) std::abort();
  }
  return 0;
}
