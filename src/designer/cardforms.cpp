#include "designer/cardforms.h"

#include "records/ubarcode.h"
#include "designer/dirunit.h"
#include "designer/editbox.h"
#include "designer/filelist.h"
#include "designer/main.h"
#include "designer/newimage.h"
#include "designer/unew.h"
#include "records/catchpic.h"
#include "records/dbpicsu.h"
#include "records/opendata.h"
#include "records/prev.h"
#include "records/uexcel.h"
#include "records/uinputcol.h"
#include "records/upicprint.h"
#include "records/uprint.h"
#include "records/uscanner.h"
#include "records/uselectfield.h"
#include "records/utextdata.h"
#include "records/wh.h"

void CreateCardForms(TApplication* application) {
  application->CreateForm(MainForm);
  application->CreateForm(FormPicEdit);
  application->CreateForm(OpenDataForm);
  application->CreateForm(PrevForm);
  application->CreateForm(FormPrintPic);
  application->CreateForm(newimageform);
  application->CreateForm(FormScanner);
  application->CreateForm(FormCatchPic);
  application->CreateForm(FormWH);
  application->CreateForm(FormNew);
  application->CreateForm(FormPrint);
  application->CreateForm(FormDir);
  application->CreateForm(FormBarcode);
  application->CreateForm(FormEditBox);
  application->CreateForm(FormSelectField);
  application->CreateForm(FormTextData);
  application->CreateForm(FormExcel);
  application->CreateForm(FormInputCol);
  application->CreateForm(FormFileList);
}
