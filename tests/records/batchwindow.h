// A card program with its main window and the card batch window, whose
// table a test binds to a folder of its own.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "designer/cardprogram.h"
#include "records/dbpicsu.h"

namespace cardtest {

class BatchWindowTest : public ::testing::Test {
 protected:
  void SetUp() override {
    main_ = program_.MakeMainForm();
    FormPicEdit = MakeForm<TFormPicEdit>(Application);
    program_.Keep(FormPicEdit);
    form_ = FormPicEdit;
    program_.dialogs.Records.clear();
  }
  // Rebinds the window's table to `folder`, as the table choice would.
  void UseFolder(const std::string& folder) {
    form_->Table1->Close();
    form_->Table1->SetDatabaseName(folder);
    form_->Table1->Open();
  }

  CardProgram program_;
  TMainForm* main_ = nullptr;
  TFormPicEdit* form_ = nullptr;
};

}  // namespace cardtest
