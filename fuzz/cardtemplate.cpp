// The card template reader over arbitrary bytes, plain and scrambled: it
// either refuses the bytes or gives a record whose every value writes and
// reads back the same.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "designer/cardtemplate.h"
#include "designer/templatescramble.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string bytes(reinterpret_cast<const char*>(data), size);
  for (const std::string& plain : {bytes, UnscrambleTemplateBytes(bytes)}) {
    try {
      const CardTemplate design = ParseCardTemplate(plain);
      CardTemplate again = ParseCardTemplate(FormatCardTemplate(design));
      // The writer always stores the default character set.
      for (int i = 0; i < CardTemplate::kTextCount; ++i) {
        again.dataTexts[i].font.charset = design.dataTexts[i].font.charset;
        again.titles[i].font.charset = design.titles[i].font.charset;
        again.dataTexts[i].font.shown = design.dataTexts[i].font.shown;
        again.titles[i].font.shown = design.titles[i].font.shown;
      }
      if (!(again == design)) std::abort();
    } catch (const ECardTemplateError&) {
    }
  }
  return 0;
}
