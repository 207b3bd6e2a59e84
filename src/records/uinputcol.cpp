#include "records/uinputcol.h"

#include "designer/main.h"
#include "platform/dialogs.h"
#include "records/capitals.h"
#include "records/dbpicsu.h"
#include "records/memolines.h"

TFormInputCol* FormInputCol = nullptr;

const char* const kNotAnAmountMark = "【非数字】";
const char* const kAmountTooLargeMark = "【超出范围】";

namespace {

constexpr TColor kSkyBlue = 0xF0CAA6;

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }

// A line that is already an amount in capitals (a second press of the
// button leaves it alone): only capital digits, units and 元角分整负.
bool IsCapitalAmount(const std::string& line) {
  static const std::string kChars = "零壹贰叁肆伍陆柒捌玖拾佰仟万亿元角分整负";
  if (line.empty() || line.size() % 3 != 0) return false;
  for (size_t i = 0; i < line.size(); i += 3) {  // each of them is 3 bytes in UTF-8
    const size_t at = kChars.find(line.substr(i, 3));
    if (at == std::string::npos || at % 3 != 0) return false;
  }
  return true;
}

}  // namespace

TFormInputCol::TFormInputCol(TComponent* owner) : TForm(owner) {
  Name = "FormInputCol";
  SetCaption("将要入库的一列数据");
  Position = poMainFormCenter;
  SetClientWidth(260);
  SetClientHeight(420);

  Memo1 = new TMemo(this);
  Memo1->Name = "Memo1";
  Memo1->SetParent(this);
  Memo1->SetBounds(8, 8, 244, 364);
  Memo1->ScrollBars = ssBoth;
  Memo1->SetColor(kSkyBlue);

  ButtonOK = new TButton(this);
  ButtonOK->Name = "ButtonOK";
  ButtonOK->SetParent(this);
  ButtonOK->SetBounds(16, 384, 90, 25);
  ButtonOK->SetCaption("入库");
  ButtonOK->ModalResult = mrOk;

  SpeedButton5 = new TSpeedButton(this);
  SpeedButton5->Name = "SpeedButton5";
  SpeedButton5->SetParent(this);
  SpeedButton5->SetBounds(140, 384, 100, 25);
  SpeedButton5->SetCaption("转大写金额");
  SpeedButton5->Flat = true;
  SpeedButton5->OnClick = [this](TObject* s) { SpeedButton5Click(s); };
}

TFormInputCol::~TFormInputCol() {
  if (FormInputCol == this) FormInputCol = nullptr;
}

void TFormInputCol::SpeedButton5Click(TObject*) {
  std::vector<std::string> lines = MemoLines(Memo1);
  int marked = 0;
  for (std::string& line : lines) {
    if (StartsWith(line, kNotAnAmountMark) || StartsWith(line, kAmountTooLargeMark)) {
      ++marked;  // marked by an earlier run and not mended yet
      continue;
    }
    if (IsCapitalAmount(line)) continue;
    std::string capitals;
    switch (AmountTextToCapitals(line, capitals)) {
      case atConverted: line = capitals; break;
      case atNegative: break;
      case atNotANumber: line = kNotAnAmountMark + line, ++marked; break;
      case atOutOfRange: line = kAmountTooLargeMark + line, ++marked; break;
    }
  }
  SetMemoLines(Memo1, lines);
  if (marked > 0)
    ShowMessage("有" + std::to_string(marked) + "行没有转换：" + kNotAnAmountMark + "的行不是数字，" +
                kAmountTooLargeMark + "的金额不能达到一千万亿元。请改好后再转换。");
}

void WriteStagedColumn(const std::string& field, TProgressBar* progress) {
  if (MainForm) SetCurrentDir(MainForm->AppDir + "data\\");
  TTable* table = FormPicEdit->Table1;
  if (Application->MessageBox("在批量数据入库前请检查列出的数据是否全部编辑完成！真的要批量数据入库吗？", "注意",
                              MB_OKCANCEL | MB_ICONQUESTION) == IDOK) {
    if (!table->GetActive()) table->Open();
    table->Edit();
    table->First();
    const std::vector<std::string> lines = MemoLines(FormInputCol->Memo1);
    progress->SetMax(int(lines.size()));
    for (size_t i = 0; i < lines.size(); ++i) {
      table->Edit();
      if (int(i) >= table->RecordCount()) table->Append();
      table->FieldByName(field)->SetAsString(lines[i]);
      table->Next();
      progress->SetPosition(int(i) + 1);
    }
    ShowMessage("成功入库");
    progress->SetPosition(0);
  }
  if (!table->GetActive()) return;
  table->Edit();
  table->First();
}
