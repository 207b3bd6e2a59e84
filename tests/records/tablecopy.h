// Card-holder tables for the window tests: copies of the stock table (张三,
// 李四, 王小红) in folders of their own, bound to the batch window's table,
// and their texts read back from the .dbf bytes by the plain reader.
#pragma once

#include <filesystem>
#include <string>
#include <vector>

#include "designer/cardprogram.h"
#include "platform/dbtest_support.h"
#include "platform/gbk.h"
#include "records/dbpicsu.h"

namespace tablecopy {

// Copies the stock table into `name` below the data folder and binds the
// batch window's table to the copy; returns the folder with a separator.
inline std::string UseStockCopy(const cardtest::CardProgram& program, const std::string& name) {
  namespace fs = std::filesystem;
  const fs::path folder = program.DataFolder() / name;
  fs::create_directories(folder);
  for (const char* file : {"data.DBF", "data.DBT", "data.MDX"})
    fs::copy_file(program.DataFolder() / "Mode" / "DATA" / file, folder / file, fs::copy_options::overwrite_existing);
  TTable* table = FormPicEdit->Table1;
  table->Close();
  table->SetExclusive(false);
  table->SetDatabaseName(folder.string() + "/");
  table->Open();
  return folder.string() + "/";
}

// The 13 texts (AAAA .. MMMM) of every live record, GBK decoded, without
// their padding blanks.
inline std::vector<std::vector<std::string>> StoredTexts(const std::string& folder) {
  const dbtest::PlainTable table = dbtest::ReadPlain(folder + "data.DBF");
  std::vector<std::vector<std::string>> records;
  for (size_t r = 0; r < table.records.size(); ++r) {
    if (table.deleted[r]) continue;
    std::vector<std::string> texts;
    for (size_t c = 0; c < 13; ++c) {
      std::string text = GbkToUtf8(table.records[r][c]);
      text.erase(text.find_last_not_of(' ') + 1);
      texts.push_back(text);
    }
    records.push_back(texts);
  }
  return records;
}

}  // namespace tablecopy
