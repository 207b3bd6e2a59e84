#pragma once

// A named menu entry under `parent`, owned by the form, whose click runs one
// of the form's handlers (none for a sub-menu or an entry without a command).

#include "platform/menus.h"

template <class Form>
TMenuItem* AddMenuItem(Form* form, TMenuItem* parent, const char* name, const char* caption,
                       void (Form::*handler)(TObject*)) {
  auto* m = new TMenuItem(form);
  m->Name = name;
  m->SetCaption(caption);
  parent->Add(m);
  if (handler) m->OnClick = [form, handler](TObject* s) { (form->*handler)(s); };
  return m;
}
