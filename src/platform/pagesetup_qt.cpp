// The page setup dialog: the paper, the orientation and the four margins,
// in millimetres with hundredths, in the program's own language. It is a
// dialog of its own because the toolkit's page setup only works on system
// printers, and the program also sets up pages for its PDF files.
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDoubleSpinBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>
#include <algorithm>

#include "platform/commdlg.h"

namespace {

struct TNamedPaper {
  int code;
  const char* name;
};

// The papers offered by name; any other paper a page has keeps its own
// entry, and the last entry is a size of the user's.
const TNamedPaper kNamedPapers[] = {{8, "A3"}, {9, "A4"},     {11, "A5"},    {12, "B4 (JIS)"},
                                    {13, "B5 (JIS)"}, {1, "Letter"}, {5, "Legal"}};

QString SizeText(int width, int length) {
  return QString("%1 x %2 mm").arg(width / 100.0, 0, 'f', 1).arg(length / 100.0, 0, 'f', 1);
}

QDoubleSpinBox* Millimetres(QWidget* parent, int hundredths) {
  auto* box = new QDoubleSpinBox(parent);
  box->setDecimals(2);
  box->setRange(0, 10000);
  box->setSuffix(" mm");
  box->setValue(hundredths / 100.0);
  return box;
}

int Hundredths(const QDoubleSpinBox* box) { return int(box->value() * 100 + 0.5); }

}  // namespace

bool TPageSetupDialog::RunPlatformDialog() {
  QDialog dialog;
  dialog.setObjectName("PageSetup");
  dialog.setWindowTitle(QString::fromStdString(DialogCaption()));
  auto* layout = new QVBoxLayout(&dialog);

  auto* paperGroup = new QGroupBox("纸张", &dialog);
  auto* paperForm = new QFormLayout(paperGroup);
  auto* papers = new QComboBox(paperGroup);
  papers->setObjectName("Paper");
  for (const TNamedPaper& paper : kNamedPapers) {
    int width = 0, length = 0;
    PaperSizeOfCode(paper.code, width, length);
    papers->addItem(QString("%1  (%2)").arg(paper.name, SizeText(width, length)), paper.code);
  }
  int ownWidth = 0, ownLength = 0;
  if (papers->findData(PaperSize) < 0 && PaperSizeOfCode(PaperSize, ownWidth, ownLength))
    papers->addItem(SizeText(ownWidth, ownLength), PaperSize);
  papers->addItem("自定义大小", int(DMPAPER_USER));
  const int shown = papers->findData(PaperSize);
  papers->setCurrentIndex(shown >= 0 ? shown : papers->count() - 1);
  auto* width = Millimetres(paperGroup, PaperWidth);
  width->setObjectName("PaperWidth");
  auto* length = Millimetres(paperGroup, PaperLength);
  length->setObjectName("PaperLength");
  width->setMinimum(1);
  length->setMinimum(1);
  paperForm->addRow("大小", papers);
  paperForm->addRow("宽度", width);
  paperForm->addRow("高度", length);
  // A named paper shows its size; only a size of the user's is typed.
  auto followPaper = [=] {
    const int code = papers->currentData().toInt();
    int w = 0, l = 0;
    const bool named = PaperSizeOfCode(code, w, l);
    if (named) {
      width->setValue(w / 100.0);
      length->setValue(l / 100.0);
    }
    width->setEnabled(!named);
    length->setEnabled(!named);
  };
  QObject::connect(papers, &QComboBox::currentIndexChanged, &dialog, followPaper);
  followPaper();
  layout->addWidget(paperGroup);

  auto* turnGroup = new QGroupBox("方向", &dialog);
  auto* turnLayout = new QHBoxLayout(turnGroup);
  auto* portrait = new QRadioButton("纵向", turnGroup);
  portrait->setObjectName("Portrait");
  auto* landscape = new QRadioButton("横向", turnGroup);
  landscape->setObjectName("Landscape");
  (Orientation == DMORIENT_LANDSCAPE ? landscape : portrait)->setChecked(true);
  turnLayout->addWidget(portrait);
  turnLayout->addWidget(landscape);
  layout->addWidget(turnGroup);

  auto* marginGroup = new QGroupBox("页边距", &dialog);
  auto* marginForm = new QFormLayout(marginGroup);
  QDoubleSpinBox* margins[4] = {Millimetres(marginGroup, MarginLeft), Millimetres(marginGroup, MarginTop),
                                Millimetres(marginGroup, MarginRight), Millimetres(marginGroup, MarginBottom)};
  const char* marginNames[4] = {"MarginLeft", "MarginTop", "MarginRight", "MarginBottom"};
  const char* marginLabels[4] = {"左", "上", "右", "下"};
  for (int i = 0; i < 4; ++i) {
    margins[i]->setObjectName(marginNames[i]);
    marginForm->addRow(marginLabels[i], margins[i]);
  }
  layout->addWidget(marginGroup);

  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  buttons->button(QDialogButtonBox::Ok)->setText("确定");
  buttons->button(QDialogButtonBox::Cancel)->setText("取消");
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);

  if (dialog.exec() != QDialog::Accepted) return false;
  PaperSize = papers->currentData().toInt();
  const int w = Hundredths(width), l = Hundredths(length);
  PaperWidth = std::min(w, l);
  PaperLength = std::max(w, l);
  if (PaperSize == DMPAPER_USER) PaperSize = PaperCodeOfSize(PaperWidth, PaperLength);
  Orientation = landscape->isChecked() ? DMORIENT_LANDSCAPE : DMORIENT_PORTRAIT;
  MarginLeft = Hundredths(margins[0]);
  MarginTop = Hundredths(margins[1]);
  MarginRight = Hundredths(margins[2]);
  MarginBottom = Hundredths(margins[3]);
  return true;
}
