// The rich text box: a memo whose selection carries character attributes
// (style, colour, face, size) and whose paragraphs carry an alignment;
// clipboard commands and undo come from the edit.
#pragma once

#include <vector>

#include "platform/stdctrls.h"

class TRichEdit;

// The attributes of the selection (or the default ones). Reading gives
// those of the selection's first character; writing sets them on the
// whole selection, or on what is typed next when nothing is selected.
class TTextAttributes : public TPersistent {
 public:
  TFontStyles GetStyle() const;
  void SetStyle(TFontStyles style);
  TColor GetColor() const;
  void SetColor(TColor color);
  std::string GetName() const;
  void SetName(const std::string& name);
  int GetSize() const;
  void SetSize(int points);
  int GetHeight() const;
  void SetHeight(int pixels);
  uint8_t GetCharset() const;
  void SetCharset(uint8_t charset);
  // Copies a font or other attributes.
  void Assign(TPersistent* source) override;

 private:
  friend class TRichEdit;
  TTextAttributes(TRichEdit* edit, bool selection) : edit_(edit), selection_(selection) {}
  TRichEdit* edit_;
  bool selection_;
};

class TParaAttributes : public TPersistent {
 public:
  TAlignment GetAlignment() const;
  // Sets the alignment of the paragraphs the selection touches.
  void SetAlignment(TAlignment alignment);

 private:
  friend class TRichEdit;
  explicit TParaAttributes(TRichEdit* edit) : edit_(edit) {}
  TRichEdit* edit_;
};

class TRichEdit : public TMemo {
 public:
  explicit TRichEdit(TComponent* owner);
  ~TRichEdit() override;
  TTextAttributes* GetSelAttributes() { return &selAttributes_; }
  TTextAttributes* GetDefAttributes() { return &defAttributes_; }
  TParaAttributes* GetParagraph() { return &paragraph_; }
  bool PlainText = false;

  // One character's look.
  struct TCharFormat {
    TFontStyles Style = 0;
    TColor Color = clWindowText;
    std::string Name = "宋体";
    int Height = -12;
    uint8_t Charset = DEFAULT_CHARSET;
    bool operator==(const TCharFormat&) const = default;
  };
  TCharFormat FormatAt(int pos) const;
  TAlignment AlignmentOfLine(int line) const;
  void Dispatch(TMessage& m) override;

 private:
  friend class TTextAttributes;
  friend class TParaAttributes;
  TCharFormat& Typing() { return typing_; }
  template <class F>
  void ApplyToSelection(F change);
  void TextEdited(const std::string& before, const std::string& after);
  int LineOf(int pos) const;

  TTextAttributes selAttributes_{this, true};
  TTextAttributes defAttributes_{this, false};
  TParaAttributes paragraph_{this};
  TCharFormat default_;
  TCharFormat typing_;
  std::vector<TCharFormat> formats_;   // one per UTF-16 unit of the text
  std::vector<TAlignment> alignments_;  // one per line
  std::string lastText_;
};
