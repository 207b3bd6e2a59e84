// A vector layer on a parent window with a picture, and helpers to make
// objects and read what the layer holds.
#pragma once

#include <gtest/gtest.h>

#include <string>

#include "imaging/view/ievect.h"
#include "pixview_fixture.h"
#include "platform/classes.h"
#include "platform/controls.h"

class IEVectTest : public ::testing::Test {
 protected:
  void SetUp() override {
    parent = new TWinControl(nullptr);
    parent->SetBounds(0, 0, 800, 800);
    vect = new TPixVect(parent);
    vect->SetParent(parent);
    vect->SetBorderStyle(bsNone);
    vect->SetBounds(0, 0, 200, 160);
    SetPicture24(vect, 120, 100, [](int, int) { return TRGB{255, 255, 255}; });
  }
  void TearDown() override { parent->Free(); }

  // A new object of a kind from the template, at a rectangle.
  int Add(TIEVObjectKind kind, TRect r) {
    const int h = vect->AddNewObject();
    vect->SetObjKind(h, kind);
    vect->SetObjRect(h, r);
    return h;
  }
  // A 24-bit bitmap of one colour.
  static void Solid(TBitmap& b, int w, int h, TRGB c) {
    b.SetPixelFormat(pf24bit);
    b.SetSize(w, h);
    for (int y = 0; y < h; ++y) {
      auto* row = reinterpret_cast<TRGB*>(b.ScanLine(y));
      for (int x = 0; x < w; ++x) row[x] = c;
    }
  }
  std::string Saved() {
    TMemoryStream s;
    vect->SaveToStreamIEV(&s);
    return std::string(static_cast<char*>(s.Memory()), size_t(s.GetSize()));
  }
  static bool Load(TPixVect* v, const std::string& bytes) {
    TMemoryStream s;
    s.Write(bytes.data(), int64_t(bytes.size()));
    s.SetPosition(0);
    return v->LoadFromStreamIEV(&s);
  }

  TWinControl* parent = nullptr;
  TPixVect* vect = nullptr;
};
