// Shared fixture of the data-aware control tests: a card-holder table with
// a few records in a private folder, open behind a data source.
#pragma once

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "dbtest_support.h"
#include "platform/dbtables.h"
#include "support/testenv.h"

namespace dbtest {

class CardSource : public ::testing::Test {
 protected:
  void SetUp() override {
    TDbfTable::Create(dir.file("data.DBF"), dbfLevel4, CardColumns(20));
    table.SetDatabaseName(dir.path().string());
    table.SetTableName("data.DBF");
    source.SetDataSet(&table);
  }

  // Opens the table and appends one record per name (AAAA), with BBBB
  // holding the name's number.
  void Fill(const std::vector<std::string>& names) {
    table.Open();
    for (size_t i = 0; i < names.size(); ++i) {
      table.Append();
      table.FieldByName("AAAA")->SetAsString(names[i]);
      table.FieldByName("BBBB")->SetAsString(std::to_string(i + 1));
      table.Post();
    }
    table.First();
  }

  // The value of a field in record recNo as stored in the file, read by a
  // second table object.
  std::string Stored(int recNo, const std::string& field) {
    TTable other;
    other.SetDatabaseName(dir.path().string());
    other.SetTableName("data.DBF");
    other.Open();
    other.SetRecNo(recNo);
    return other.FieldByName(field)->GetAsString();
  }

  cwtest::TempDir dir;
  TTable table;
  TDataSource source;
};

inline void TypeChars(TControl& control, const std::u16string& text) {
  for (char16_t ch : text) control.Perform(WM_CHAR, WPARAM(ch));
}

}  // namespace dbtest
