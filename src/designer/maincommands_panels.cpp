// The show and hide toggles of the main window's four panels: each flips
// its flag and sets the captions, hints and check marks that tell the
// user which way the next click goes.
#include "designer/main.h"

void TMainForm::NShowBar1Click(TObject*) {
  ToolBarShown = !ToolBarShown;
  const char* next = ToolBarShown ? "隐藏常用工具栏" : "显示常用工具栏";
  NTool->SetChecked(ToolBarShown);
  NShowBar1->SetCaption(next);
  TBShow->Hint = next;
  TBShow->SetDown(!ToolBarShown);
  if (ToolBarShown) ToolBar1->SetEnabled(true);
  ToolBar1->SetVisible(ToolBarShown);
}

void TMainForm::NShowToolsClick(TObject*) {
  DataGridHidden = !DataGridHidden;
  const char* next = DataGridHidden ? "显示数据格" : "隐藏数据格";
  Panel6->SetCaption(DataGridHidden ? "≮" : "≯");
  Panel6->Hint = next;
  NShowTools->SetCaption(next);
  PanTools->SetVisible(!DataGridHidden);
  NDataP->SetChecked(!DataGridHidden);
}

void TMainForm::NShowSelectTClick(TObject*) {
  SelectPanelShown = !SelectPanelShown;
  NSelectP->SetChecked(SelectPanelShown);
  Panel7->SetCaption(SelectPanelShown ? "≮" : "≯");
  Panel1->SetEnabled(SelectPanelShown);
  Panel1->SetVisible(SelectPanelShown);
  NShowSelectT->SetCaption(SelectPanelShown ? "收起选择框" : "打开选择框");
}

void TMainForm::NShowDataClick(TObject*) {
  DrawPanelHidden = !DrawPanelHidden;
  const char* next = DrawPanelHidden ? "显示画板" : "隐藏画板";
  NDrawP->SetChecked(!DrawPanelHidden);
  Panel10->SetCaption(DrawPanelHidden ? "∧" : "∨");
  Panel10->Hint = next;
  NShowData->SetCaption(next);
  Panel9->SetVisible(!DrawPanelHidden);
  NShowData->SetChecked(!DrawPanelHidden);
}
