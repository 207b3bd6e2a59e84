#include "platform/richedit.h"

#include <QString>
#include <algorithm>

namespace {

QString Q(const std::string& s) { return QString::fromUtf8(s.data(), qsizetype(s.size())); }

}  // namespace

TRichEdit::TRichEdit(TComponent* owner) : TMemo(owner) { typing_ = default_; }

TRichEdit::~TRichEdit() = default;

TRichEdit::TCharFormat TRichEdit::FormatAt(int pos) const {
  if (pos >= 0 && pos < int(formats_.size())) return formats_[size_t(pos)];
  return formats_.empty() ? typing_ : formats_.back();
}

int TRichEdit::LineOf(int pos) const {
  QString text = Q(GetText()).left(pos);
  return int(text.count("\r\n"));
}

TAlignment TRichEdit::AlignmentOfLine(int line) const {
  return line >= 0 && line < int(alignments_.size()) ? alignments_[size_t(line)] : taLeftJustify;
}

// Keeps one format per character across any change of the text: what
// stayed before and after the changed middle keeps its look, the new
// middle takes the typing format.
void TRichEdit::TextEdited(const std::string& before, const std::string& after) {
  QString a = Q(before), b = Q(after);
  int prefix = 0;
  while (prefix < a.size() && prefix < b.size() && a[prefix] == b[prefix]) ++prefix;
  int suffix = 0;
  while (suffix < a.size() - prefix && suffix < b.size() - prefix && a[a.size() - 1 - suffix] == b[b.size() - 1 - suffix])
    ++suffix;
  formats_.resize(size_t(a.size()), typing_);
  std::vector<TCharFormat> next(formats_.begin(), formats_.begin() + prefix);
  next.insert(next.end(), size_t(b.size() - prefix - suffix), typing_);
  next.insert(next.end(), formats_.end() - suffix, formats_.end());
  formats_ = std::move(next);
  alignments_.resize(size_t(b.count("\r\n") + 1), alignments_.empty() ? taLeftJustify : alignments_.back());
}

void TRichEdit::Dispatch(TMessage& m) {
  if (m.Msg == CM_TEXTCHANGED) {
    TextEdited(lastText_, GetText());
    lastText_ = GetText();
  }
  // A caret move picks up the look of the character before it for typing.
  int oldStart = GetSelStart();
  TMemo::Dispatch(m);
  if (IsWindow(this) && m.Msg != CM_TEXTCHANGED && GetSelStart() != oldStart && GetSelLength() == 0 && GetSelStart() > 0)
    typing_ = FormatAt(GetSelStart() - 1);
}

template <class F>
void TRichEdit::ApplyToSelection(F change) {
  change(typing_);
  int start = GetSelStart(), end = start + GetSelLength();
  for (int i = start; i < end && i < int(formats_.size()); ++i) change(formats_[size_t(i)]);
  Invalidate();
}

// TTextAttributes -----------------------------------------------------------------------

namespace {

template <class Get>
auto Read(TRichEdit* edit, bool selection, const TRichEdit::TCharFormat& def, Get get) {
  if (!selection) return get(def);
  if (edit->GetSelLength() > 0) return get(edit->FormatAt(edit->GetSelStart()));
  return get(edit->FormatAt(edit->GetSelStart() - 1));
}

}  // namespace

#define CW_ATTRIBUTE(Type, Getter, Setter, Field)                                              \
  Type TTextAttributes::Getter() const {                                                        \
    return Read(edit_, selection_, edit_->default_, [](const TRichEdit::TCharFormat& f) { return f.Field; }); \
  }                                                                                             \
  void TTextAttributes::Setter(Type value) {                                                   \
    if (!selection_) {                                                                          \
      edit_->default_.Field = value;                                                            \
      edit_->typing_.Field = value;                                                             \
      return;                                                                                   \
    }                                                                                           \
    edit_->ApplyToSelection([&](TRichEdit::TCharFormat& f) { f.Field = value; });               \
  }

CW_ATTRIBUTE(TFontStyles, GetStyle, SetStyle, Style)
CW_ATTRIBUTE(TColor, GetColor, SetColor, Color)
CW_ATTRIBUTE(int, GetHeight, SetHeight, Height)
CW_ATTRIBUTE(uint8_t, GetCharset, SetCharset, Charset)
#undef CW_ATTRIBUTE

std::string TTextAttributes::GetName() const {
  return Read(edit_, selection_, edit_->default_, [](const TRichEdit::TCharFormat& f) { return f.Name; });
}

void TTextAttributes::SetName(const std::string& name) {
  if (!selection_) {
    edit_->default_.Name = edit_->typing_.Name = name;
    return;
  }
  edit_->ApplyToSelection([&](TRichEdit::TCharFormat& f) { f.Name = name; });
}

int TTextAttributes::GetSize() const {
  TFont font;
  font.Height = GetHeight();
  return font.GetSize();
}

void TTextAttributes::SetSize(int points) {
  TFont font;
  font.SetSize(points);
  SetHeight(font.Height);
}

void TTextAttributes::Assign(TPersistent* source) {
  if (auto* font = dynamic_cast<TFont*>(source)) {
    SetStyle(font->Style);
    SetColor(font->Color);
    SetName(font->Name);
    SetHeight(font->Height);
    SetCharset(font->Charset);
    return;
  }
  if (auto* other = dynamic_cast<TTextAttributes*>(source)) {
    SetStyle(other->GetStyle());
    SetColor(other->GetColor());
    SetName(other->GetName());
    SetHeight(other->GetHeight());
    SetCharset(other->GetCharset());
    return;
  }
  TPersistent::Assign(source);
}

// TParaAttributes -----------------------------------------------------------------------

TAlignment TParaAttributes::GetAlignment() const { return edit_->AlignmentOfLine(edit_->LineOf(edit_->GetSelStart())); }

void TParaAttributes::SetAlignment(TAlignment alignment) {
  int first = edit_->LineOf(edit_->GetSelStart());
  int last = edit_->LineOf(edit_->GetSelStart() + edit_->GetSelLength());
  if (int(edit_->alignments_.size()) <= last) edit_->alignments_.resize(size_t(last + 1), taLeftJustify);
  for (int i = first; i <= last; ++i) edit_->alignments_[size_t(i)] = alignment;
  edit_->Invalidate();
}
