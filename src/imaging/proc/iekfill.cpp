#include "imaging/proc/iekfill.h"

#include <algorithm>
#include <bit>
#include <vector>

#include "imaging/core/iebits.h"

namespace {

// The markers move one step a pass from 1 up and 254 down; passes stop well
// before they could meet.
constexpr int kMostPasses = 250;

// The decision tables of one window size: ON-fill and OFF-fill, indexed by
// the ring pattern (bit i set when ring pixel i is ON).
struct TKFillTables {
  std::vector<uint8_t> on, off;
};

TKFillTables BuildTables(int k, bool connected, bool offRuleStrict) {
  const int ring = 4 * (k - 1);
  const uint32_t patterns = 1u << ring;
  TKFillTables t{std::vector<uint8_t>(patterns), std::vector<uint8_t>(patterns)};
  auto isCorner = [&](int i) { return i % (k - 1) == 0; };
  for (uint32_t p = 0; p < patterns; ++p) {
    auto bit = [&](int i) { return ((p >> (((i % ring) + ring) % ring)) & 1) != 0; };
    // ON groups: OFF-to-ON steps between the side pixels, corners skipped,
    // the walk starting at position 1 after the ring's last pixel; an ON
    // corner between two OFF neighbours is a group of its own.
    int groups = 0;
    bool previous = bit(ring - 1);
    for (int i = 1; i < ring; ++i) {
      if (isCorner(i)) continue;
      if (!previous && bit(i)) ++groups;
      previous = bit(i);
    }
    int corners = 0;
    for (int c = 0; c < 4; ++c) {
      const int i = c * (k - 1);
      if (!bit(i)) continue;
      ++corners;
      if (!bit(i - 1) && !bit(i + 1)) ++groups;
    }
    if (connected && groups > 1) continue;
    const int on = std::popcount(p), off = ring - on;
    const bool twoCorners = corners == 2;
    t.on[p] = on > 3 * k - 4 || (on == 3 * k - 4 && twoCorners);
    if (offRuleStrict)
      t.off[p] = off == ring || (off == 3 * k - 4 && twoCorners);
    else
      t.off[p] = off > 3 * k - 4 || (off == 3 * k - 4 && twoCorners);
  }
  return t;
}

class TKFill {
 public:
  TKFill(int width, int height, int K, bool connected, bool offRuleStrict)
      : w_(width), h_(height), K_(K), work_(size_t(width) * height, 0) {
    for (int k = 3; k <= K; ++k) tables_.push_back(BuildTables(k, connected, offRuleStrict));
  }

  uint8_t& At(int x, int y) { return work_[size_t(y) * w_ + x]; }

  // One pass; the number of pixels changed. The first pass also notes the
  // runs of ON pixels that later passes stay near.
  int Pass(bool offFill, bool first) {
    int changed = 0;
    for (int y = 1; y < h_ - 1; ++y) {
      if (first) {
        NoteRuns(y);
        for (int x = 1; x < w_ - 1; ++x) changed += Visit(x, y, offFill);
      } else {
        for (const auto& [from, to] : runs_[y]) {
          const int lo = std::max(1, from - (K_ - 2)), hi = std::min(w_ - 2, to + (K_ - 2));
          for (int x = lo; x <= hi; ++x) changed += Visit(x, y, offFill);
        }
      }
    }
    return changed;
  }

  int offMarker = 1;
  int onMarker = 254;

 private:
  bool Candidate(uint8_t v, bool offFill) const { return offFill ? v > offMarker : v < onMarker; }
  bool RingOn(uint8_t v, bool offFill) const { return offFill ? v >= offMarker : v > onMarker; }

  // True when the core of the k window at (x, y) (its top-left pixel) is
  // all candidates and the window lies inside the picture.
  bool CoreFits(int x, int y, int k, bool offFill) {
    if (x - 1 < 0 || y - 1 < 0 || x + k - 2 > w_ - 1 || y + k - 2 > h_ - 1) return false;
    for (int cy = y; cy <= y + k - 3; ++cy)
      for (int cx = x; cx <= x + k - 3; ++cx)
        if (!Candidate(At(cx, cy), offFill)) return false;
    return true;
  }

  // The ring of the k window whose core starts at (x, y), clockwise from
  // its top-left corner.
  uint32_t RingPattern(int x, int y, int k, bool offFill) {
    const int left = x - 1, top = y - 1, right = x + k - 2, bottom = y + k - 2;
    uint32_t pattern = 0;
    int i = 0;
    auto add = [&](int px, int py) { pattern |= uint32_t(RingOn(At(px, py), offFill)) << i++; };
    for (int px = left; px < right; ++px) add(px, top);
    for (int py = top; py < bottom; ++py) add(right, py);
    for (int px = right; px > left; --px) add(px, bottom);
    for (int py = bottom; py > top; --py) add(left, py);
    return pattern;
  }

  int Visit(int x, int y, bool offFill) {
    if (!Candidate(At(x, y), offFill)) return 0;
    int largest = 3;
    while (largest < K_ && CoreFits(x, y, largest + 1, offFill)) ++largest;
    for (int k = largest; k >= std::max(3, largest - 1); --k) {
      const TKFillTables& t = tables_[k - 3];
      if (!(offFill ? t.off : t.on)[RingPattern(x, y, k, offFill)]) continue;
      const uint8_t marker = uint8_t(offFill ? offMarker : onMarker);
      int changed = 0;
      for (int cy = y; cy <= y + k - 3; ++cy)
        for (int cx = x; cx <= x + k - 3; ++cx)
          if (Candidate(At(cx, cy), offFill)) {
            At(cx, cy) = marker;
            ++changed;
          }
      return changed;
    }
    return 0;
  }

  // Runs of ON pixels in row y; one starting at most 4 columns after the
  // previous one ends joins it.
  void NoteRuns(int y) {
    if (runs_.empty()) runs_.resize(size_t(h_));
    auto& runs = runs_[y];
    for (int x = 0; x < w_; ++x) {
      if (At(x, y) != 255) continue;
      int end = x;
      while (end + 1 < w_ && At(end + 1, y) == 255) ++end;
      if (!runs.empty() && x - runs.back().second <= 4)
        runs.back().second = end;
      else
        runs.push_back({x, end});
      x = end;
    }
  }

  int w_, h_, K_;
  std::vector<uint8_t> work_;
  std::vector<TKFillTables> tables_;
  std::vector<std::vector<std::pair<int, int>>> runs_;
};

}  // namespace

void _kf_kfill(TBitmap* bitmap, bool Connected, bool OffRuleStrict, int MaxIterations, int K, bool Invert) {
  if (!bitmap || bitmap->GetPixelFormat() != pf1bit || K < 3 || K > IEKFillMaxWindow) return;
  const int width = bitmap->GetWidth(), height = bitmap->GetHeight();
  if (width < 3 || height < 3) return;
  TKFill fill(width, height, K, Connected, OffRuleStrict);
  // The outermost rows and columns stay 0 in the work picture.
  for (int y = 1; y < height - 1; ++y) {
    const uint8_t* row = bitmap->ScanLine(y);
    for (int x = 1; x < width - 1; ++x) fill.At(x, y) = (_GetPixelbw(row, x) != 0) != Invert ? 255 : 0;
  }

  int before = 0, last = fill.Pass(true, true), passes = 1;
  fill.onMarker -= 1;
  bool offFill = false;
  const int most = std::min(MaxIterations, kMostPasses);
  while (passes < most && (last > 0 || before > 0)) {
    const int changed = fill.Pass(offFill, false);
    ++passes;
    if (offFill)
      fill.onMarker -= 1;
    else
      fill.offMarker += 1;
    if (last > 0) offFill = !offFill;
    before = last;
    last = changed;
  }

  for (int y = 1; y < height - 1; ++y) {
    uint8_t* row = bitmap->ScanLine(y);
    for (int x = 1; x < width - 1; ++x) {
      const uint8_t v = fill.At(x, y);
      const bool on = v >= fill.onMarker;
      _SetPixelbw(row, x, on != Invert ? 1 : 0);
    }
  }
}
