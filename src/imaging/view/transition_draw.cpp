// The frames of the transitions: each type composes the frame at step s
// (0 to 1024) from the source and target shots. Blends weigh the two with
// 10-bit integers; the moving types copy row pieces; every copy is clipped
// to the picture.
#include <algorithm>
#include <cmath>
#include <cstring>

#include "imaging/core/ieview.h"
#include "imaging/view/transition.h"

namespace {

int Nearest(double v) { return int(std::nearbyint(v)); }

}  // namespace

void TIETransitionEffects::CopyRect(TBitmap* shot, int x, int y, int w, int h) {
  const int x1 = std::max(0, x), y1 = std::max(0, y);
  const int x2 = std::min(width_, x + w), y2 = std::min(height_, y + h);
  if (x1 >= x2 || y1 >= y2) return;
  auto& rows = shot == &source_ ? sourceRows_ : targetRows_;
  for (int r = y1; r < y2; ++r)
    std::memcpy(Frm(r) + x1, reinterpret_cast<TRGB*>(rows[size_t(r)]) + x1, size_t(x2 - x1) * sizeof(TRGB));
}

void TIETransitionEffects::DrawShot(TBitmap* shot, int x, int y) {
  const int x1 = std::max(0, x), y1 = std::max(0, y);
  const int x2 = std::min(width_, x + width_), y2 = std::min(height_, y + height_);
  if (x1 >= x2 || y1 >= y2) return;
  auto& rows = shot == &source_ ? sourceRows_ : targetRows_;
  for (int r = y1; r < y2; ++r)
    std::memcpy(Frm(r) + x1, reinterpret_cast<TRGB*>(rows[size_t(r - y)]) + (x1 - x), size_t(x2 - x1) * sizeof(TRGB));
}

void TIETransitionEffects::StretchShot(TBitmap* shot, int x, int y, int w, int h) {
  if (w <= 0 || h <= 0) return;
  auto& rows = shot == &source_ ? sourceRows_ : targetRows_;
  const int x1 = std::max(0, x), y1 = std::max(0, y);
  const int x2 = std::min(width_, x + w), y2 = std::min(height_, y + h);
  for (int r = y1; r < y2; ++r) {
    const TRGB* from = reinterpret_cast<TRGB*>(rows[size_t(int64_t(r - y) * height_ / h)]);
    TRGB* to = Frm(r);
    for (int c = x1; c < x2; ++c) to[c] = from[int64_t(c - x) * width_ / w];
  }
}

void TIETransitionEffects::RedLine(int x1, int y1, int x2, int y2) {
  const TRGB red{0, 0, 255};
  if (x1 == x2) {
    if (x1 < 0 || x1 >= width_) return;
    for (int r = std::max(0, y1); r < std::min(height_, y2); ++r) Frm(r)[x1] = red;
  } else {
    if (y1 < 0 || y1 >= height_) return;
    for (int c = std::max(0, x1); c < std::min(width_, x2); ++c) Frm(y1)[c] = red;
  }
}

void TIETransitionEffects::Blend(int step, bool fadeOut, bool fadeIn) {
  const int32_t rgb = ColorToRGB(view_->GetBackground());
  const uint8_t back[3] = {uint8_t(rgb >> 16), uint8_t(rgb >> 8), uint8_t(rgb)};  // blue, green, red
  const int s = step, rest = 1024 - step;
  for (int r = 0; r < height_; ++r) {
    const uint8_t* src = sourceRows_[size_t(r)];
    const uint8_t* tgt = targetRows_[size_t(r)];
    uint8_t* out = frameRows_[size_t(r)];
    for (int i = 0; i < width_ * 3; ++i) {
      const int b = back[i % 3];
      if (fadeOut)
        out[i] = uint8_t((src[i] * rest + b * s) >> 10);
      else if (fadeIn)
        out[i] = uint8_t((tgt[i] * s + b * rest) >> 10);
      else
        out[i] = uint8_t((src[i] * rest + tgt[i] * s) >> 10);
    }
  }
}

void TIETransitionEffects::MoveColumns(int s, TIETransitionType type) {
  const int W = width_;
  const bool fromLeft = type == iettMoveLeftRight1 || type == iettMoveLeftRight2;
  const int c = fromLeft ? s * W >> 10 : (1024 - s) * W >> 10;
  const size_t px = sizeof(TRGB);
  for (int r = 0; r < height_; ++r) {
    TRGB* out = Frm(r);
    switch (type) {
      case iettMoveLeftRight1:  // the target's last c pixels, then the source's first W - c
        std::memmove(out, Tgt(r) + (W - c), size_t(c) * px);
        std::memmove(out + c, Src(r), size_t(W - c) * px);
        break;
      case iettMoveLeftRight2:  // the target's first c, then the source's first W - c
        std::memmove(out, Tgt(r), size_t(c) * px);
        std::memmove(out + c, Src(r), size_t(W - c) * px);
        break;
      case iettMoveRightLeft1:  // the source's last c, then the target's first W - c
        std::memmove(out, Src(r) + (W - c), size_t(c) * px);
        std::memmove(out + c, Tgt(r), size_t(W - c) * px);
        break;
      default:  // the source's first c, then the target's first W - c
        std::memmove(out, Src(r), size_t(c) * px);
        std::memmove(out + c, Tgt(r), size_t(W - c) * px);
        break;
    }
  }
}

void TIETransitionEffects::MoveRows(int s, TIETransitionType type) {
  const int H = height_;
  const size_t bytes = size_t(width_) * sizeof(TRGB);
  const bool fromTop = type == iettMoveUpDown1 || type == iettMoveUpDown2;
  const int n = fromTop ? s * H >> 10 : (1024 - s) * H >> 10;
  for (int r = 0; r < H; ++r) {
    const TRGB* from = nullptr;
    switch (type) {
      case iettMoveUpDown1: from = r < n ? Tgt(H - n + r) : Src(r - n); break;
      case iettMoveUpDown2: from = r < n ? Tgt(r) : Src(r - n); break;
      case iettMoveDownUp1: from = r < n ? Src(H - n + r) : Tgt(r - n); break;
      default: from = r < n ? Src(H - n + r) : Tgt(r); break;
    }
    std::memcpy(Frm(r), from, bytes);
  }
}

void TIETransitionEffects::RandomPoints(int s) {
  const int W = width_;
  const int64_t total = Nearest(double(int64_t(s) * W) * (s / 180.0) / 1024);
  const int64_t k = total - drawn_;
  drawn_ = total;
  std::uniform_int_distribution<int> column(0, W - 1);
  for (int r = 0; r < height_; ++r) {
    TRGB* out = Frm(r);
    const TRGB* in = Tgt(r);
    for (int64_t i = 0; i < k; ++i) {
      const int x = column(random_);
      out[x] = in[x];
    }
  }
}

void TIETransitionEffects::RandomBoxes(int s) {
  const int64_t squares = int64_t(width_) * height_ / 64;
  const int64_t total = Nearest(double(squares) * s * (s / 180.0) / 1024);
  const int64_t k = total - drawn_;
  drawn_ = total;
  std::uniform_int_distribution<int> column(0, width_ - 1), row(0, height_ - 1);
  for (int64_t i = 0; i < k; ++i) {
    const int x = column(random_) / 8 * 8;
    const int y = row(random_) / 8 * 8;
    // Squares at the right and bottom edges are cut at the picture's edge.
    CopyRect(&target_, x, y, 8, 8);
  }
}

void TIETransitionEffects::DrawStep(TIETransitionType type, int step) {
  TakeRows();
  const int s = std::clamp(step, 0, 1024);
  const int W = width_, H = height_;
  // The types that start from the source draw it whole at step 0; later
  // steps only grow the target's part.
  const bool fromSource = (type >= iettLeftRight1 && type <= iettFromBottomRight) || type == iettCenter1 ||
                          type == iettCenterZoom1 || type == iettRandomBoxes || type == iettRandomPoints;
  if (s == 0 && fromSource) DrawShot(&source_, 0, 0);
  // The rectangle of a window growing out of the centre at step t.
  auto centre = [W, H](int t, int& x, int& y, int& w, int& h) {
    w = t * W >> 10;
    h = t * H >> 10;
    x = W / 2 - (t * (W / 2) >> 10);
    y = H / 2 - (t * (H / 2) >> 10);
  };
  const int back = (1024 - s);
  switch (type) {
    case iettNone: break;
    case iettCrossDissolve: Blend(s, false, false); break;
    case iettFadeOut: Blend(s, true, false); break;
    case iettFadeIn: Blend(s, false, true); break;
    case iettFadeOutIn:
      if (s < 512)
        Blend(2 * s, true, false);
      else
        Blend(2 * s - 1024, false, true);
      break;
    case iettLeftRight1:
    case iettLeftRight2: {
      const int x = s * W >> 10;
      CopyRect(&target_, 0, 0, x, H);
      if (type == iettLeftRight2) RedLine(x, 0, x, H);
      break;
    }
    case iettRightLeft1:
    case iettRightLeft2: {
      const int x = Nearest(W * double(back) / 1024);
      CopyRect(&target_, x, 0, Nearest(s * double(W) / 1024), H);
      if (type == iettRightLeft2) RedLine(x, 0, x, H);
      break;
    }
    case iettUpDown1:
    case iettUpDown2: {
      const int y = Nearest(s * double(H) / 1024);
      CopyRect(&target_, 0, 0, W, y);
      if (type == iettUpDown2) RedLine(0, y, W, y);
      break;
    }
    case iettDownUp1:
    case iettDownUp2: {
      const int y = Nearest(H * double(back) / 1024);
      CopyRect(&target_, 0, y, W, Nearest(s * double(H) / 1024));
      if (type == iettDownUp2) RedLine(0, y, W, y);
      break;
    }
    case iettFromUpLeft: DrawShot(&target_, -(back * W >> 10), -(back * H >> 10)); break;
    case iettFromUpRight: DrawShot(&target_, back * W >> 10, -(back * H >> 10)); break;
    case iettFromBottomLeft: DrawShot(&target_, -(back * W >> 10), back * H >> 10); break;
    case iettFromBottomRight: DrawShot(&target_, back * W >> 10, back * H >> 10); break;
    case iettMoveLeftRight1:
    case iettMoveLeftRight2:
    case iettMoveRightLeft1:
    case iettMoveRightLeft2: MoveColumns(s, type); break;
    case iettMoveUpDown1:
    case iettMoveUpDown2:
    case iettMoveDownUp1:
    case iettMoveDownUp2: MoveRows(s, type); break;
    case iettRandomPoints:
      if (s > 0) RandomPoints(s);
      break;
    case iettRandomBoxes:
      if (s > 0) RandomBoxes(s);
      break;
    case iettCenter1:
    case iettCenterZoom1: {
      int x, y, w, h;
      centre(s, x, y, w, h);
      if (type == iettCenter1)
        CopyRect(&target_, x, y, w, h);
      else
        StretchShot(&target_, x, y, w, h);
      break;
    }
    case iettCenter2:
    case iettCenterZoom2: {
      int x, y, w, h;
      centre(back, x, y, w, h);
      DrawShot(&target_, 0, 0);
      if (type == iettCenter2)
        CopyRect(&source_, x, y, w, h);
      else
        StretchShot(&source_, x, y, w, h);
      break;
    }
  }
}
