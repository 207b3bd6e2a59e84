// The printer setup dialog: the printer and the orientation of the
// program's printer object.
#include <QButtonGroup>
#include <QComboBox>
#include <QDialog>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QVBoxLayout>

#include "platform/commdlg.h"
#include "platform/printers.h"

bool TPrinterSetupDialog::Execute() {
  TPrinter* printer = Printer();
  PrinterIndex = printer->GetPrinterIndex();
  Landscape = printer->Orientation == poLandscape;
  if (!RunThroughService()) return false;
  printer->SetPrinterIndex(PrinterIndex);
  printer->Orientation = Landscape ? poLandscape : poPortrait;
  return true;
}

bool TPrinterSetupDialog::RunPlatformDialog() {
  QDialog dialog;
  dialog.setWindowTitle(QString::fromStdString(DialogCaption()));
  auto* layout = new QVBoxLayout(&dialog);
  auto* printers = new QComboBox(&dialog);
  TStrings* names = Printer()->Printers();
  for (int i = 0; i < names->Count(); ++i) printers->addItem(QString::fromStdString(names->Get(i)));
  printers->setCurrentIndex(PrinterIndex >= 0 && PrinterIndex < names->Count() ? PrinterIndex : 0);
  layout->addWidget(printers);
  auto* portrait = new QRadioButton("纵向", &dialog);
  auto* landscape = new QRadioButton("横向", &dialog);
  (Landscape ? landscape : portrait)->setChecked(true);
  layout->addWidget(portrait);
  layout->addWidget(landscape);
  auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
  QObject::connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
  QObject::connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
  layout->addWidget(buttons);
  if (dialog.exec() != QDialog::Accepted) return false;
  PrinterIndex = printers->currentIndex();
  Landscape = landscape->isChecked();
  return true;
}
