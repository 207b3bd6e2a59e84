// INI text over arbitrary bytes, read the way the program reads its
// settings (PMstart.ini among them): every section, key and typed value,
// then a write of one key, which the next reader sees while every other
// value stays as it was, and the key's removal.
#include <cstdint>
#include <cstdlib>
#include <map>
#include <string>
#include <utility>

#include "fuzzfile.h"
#include "platform/inifiles.h"

namespace {

using TValues = std::map<std::pair<std::string, std::string>, std::string>;

const char* const kStartSection = "Section1";
const char* const kWrittenKey = "FuzzKey";
const char* const kWrittenValue = "fuzz value";

// Every value by section and key, as ReadString gives it, the typed reads
// run on each.
TValues ReadAll(TIniFile& ini) {
  TValues values;
  TStringList sections, keys, lines;
  ini.ReadSections(&sections);
  for (int s = 0; s < sections.Count() && s < 64; ++s) {
    ini.ReadSection(sections[s], &keys);
    ini.ReadSectionValues(sections[s], &lines);
    if (lines.Count() != keys.Count()) std::abort();
    for (int k = 0; k < keys.Count() && k < 64; ++k) {
      values[{UpperCase(sections[s]), UpperCase(keys[k])}] = ini.ReadString(sections[s], keys[k], "");
      ini.ReadInteger(sections[s], keys[k], 0);
      ini.ReadBool(sections[s], keys[k], false);
      ini.ReadFloat(sections[s], keys[k], 0);
      if (!ini.ValueExists(sections[s], keys[k])) std::abort();
    }
  }
  return values;
}

// The start settings: two counts and the recent files.
void ReadStartSettings(TIniFile& ini) {
  for (int k = 0; k < 2; ++k) {
    try {
      StrToInt(ini.ReadString(kStartSection, "PMstart" + IntToStr(k), ""));
    } catch (const EConvertError&) {
    }
  }
  for (int k = 0; k < 5; ++k) ini.ReadString(kStartSection, "FileList" + IntToStr(k), "");
}

// The values but the written key's.
TValues Others(TValues values, const std::string& section) {
  values.erase({UpperCase(section), UpperCase(kWrittenKey)});
  return values;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const TFuzzFile file("inifile", ".ini");
  file.Write(data, size);
  const std::string& name = file.Name();
  TIniFile ini(name);
  const TValues before = ReadAll(ini);
  ReadStartSettings(ini);

  TStringList sections;
  ini.ReadSections(&sections);
  const std::string section = sections.Count() > 0 ? sections[0] : kStartSection;
  ini.WriteString(section, kWrittenKey, kWrittenValue);
  TIniFile again(name);
  if (again.ReadString(section, kWrittenKey, "") != kWrittenValue) std::abort();
  const TValues written = ReadAll(again);
  if (Others(written, section) != Others(before, section)) std::abort();

  again.DeleteKey(section, kWrittenKey);
  if (TIniFile(name).ValueExists(section, kWrittenKey)) std::abort();
  if (Others(ReadAll(again), section) != Others(before, section)) std::abort();
  return 0;
}
