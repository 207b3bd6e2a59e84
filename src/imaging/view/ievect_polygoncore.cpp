// The polygon cores of the vector layer: smoothing a closed pixel
// staircase into sloped edges and reducing the points of a polyline.
#include <algorithm>
#include <cstdint>
#include <optional>
#include <utility>

#include "imaging/view/ievect_polygon.h"

namespace {

struct V {
  int64_t x, y;
  bool operator==(const V&) const = default;
};
V operator-(V a, V b) { return {a.x - b.x, a.y - b.y}; }
V operator+(V a, V b) { return {a.x + b.x, a.y + b.y}; }

// u precedes v (offsets from the edge's start); 64-bit products, so no
// coordinate of a picture can overflow them.
bool Prec(V u, V v) { return u.x * v.y < u.y * v.x; }

struct TCrack {
  V a, b, m;  // first end, second end, midpoint (1/32 pixel)
  int code;
};

TCrack MakeCrack(const TStaircasePoint& p) {
  TCrack c;
  c.code = p.code;
  const int64_t x = p.x, y = p.y;
  if (p.code == 1 || p.code == -1) {
    const int64_t y0 = 32 * y + 16;
    c.a = {p.code == 1 ? 32 * x - 16 : 32 * x + 16, y0};
    c.b = {p.code == 1 ? 32 * x + 16 : 32 * x - 16, y0};
  } else {
    const int64_t x0 = 32 * x + 16;
    c.a = {x0, p.code == 2 ? 32 * y - 16 : 32 * y + 16};
    c.b = {x0, p.code == 2 ? 32 * y + 16 : 32 * y - 16};
  }
  c.m = {(c.a.x + c.b.x) / 2, (c.a.y + c.b.y) / 2};
  return c;
}

struct TCone {
  V q, p;  // leading and trailing bound, absolute
};

bool Inside(const TCone& c, V B, V v) { return Prec(c.q - B, v - B) && Prec(v - B, c.p - B); }

// Two points ordered by precedence from B into a cone.
TCone Ordered(V B, V e1, V e2) { return Prec(e1 - B, e2 - B) ? TCone{e1, e2} : TCone{e2, e1}; }

struct TWindow {
  TCone ends;
  V innerQ, innerP;
};

TWindow Window(const TCrack& c, bool mainH, V B) {
  const V m = c.m;
  V e1, e2, i1, i2;
  if (mainH) {
    e1 = {m.x, m.y - 16}, e2 = {m.x, m.y + 16}, i1 = {m.x, m.y - 15}, i2 = {m.x, m.y + 15};
  } else {
    e1 = {m.x - 16, m.y}, e2 = {m.x + 16, m.y}, i1 = {m.x - 15, m.y}, i2 = {m.x + 15, m.y};
  }
  if (!Prec(e1 - B, e2 - B)) {
    std::swap(e1, e2);
    std::swap(i1, i2);
  }
  return {{e1, e2}, i1, i2};
}

// Grows one run from crack `start` for the edge starting at B; returns the
// index of its last crack and fills its end candidates. A run that cannot
// beat bestLen is not given candidates: it is never chosen.
int GrowRun(const std::vector<TCrack>& ck, int start, V B, int bestLen, std::vector<V>& ends) {
  const int n = int(ck.size());
  std::vector<int> set;
  std::vector<std::optional<TCone>> cones;  // per joined crack
  int mainCode = 0, secondCode = 0;
  bool mainH = false;
  TCone cone{};
  int last = start;
  for (int k = start; k < n; ++k) {
    const TCrack& c = ck[size_t(k)];
    if (set.size() < 3) {
      if (std::find(set.begin(), set.end(), -c.code) != set.end()) break;
      if (!(set.size() == 2 && set[0] == c.code && set[1] == c.code)) set.push_back(c.code);
      cones.emplace_back();
      last = k;
      if (set.size() < 3) continue;
      const int a = set[0], b = set[1], d = set[2];
      int shape;  // 0: a a b, 1: a b b, 2: a b a
      if (a == b) shape = 0, mainCode = a, secondCode = d;
      else if (b == d) shape = 1, mainCode = b, secondCode = a;
      else shape = 2, mainCode = a, secondCode = b;
      mainH = mainCode == 1 || mainCode == -1;
      const V f = c.a, m = c.m;
      V e1, e2;
      if (shape == 0) {
        if (mainH) e1 = {f.x - 16, m.y}, e2 = {f.x + 16, m.y};
        else e1 = {m.x, f.y - 16}, e2 = {m.x, f.y + 16};
      } else if (shape == 1) {
        if (mainH) e1 = {m.x, f.y - 16}, e2 = {m.x, f.y + 16};
        else e1 = {f.x - 16, m.y}, e2 = {f.x + 16, m.y};
      } else {
        if (mainH) e1 = {m.x, m.y - 16}, e2 = {m.x, m.y + 16};
        else e1 = {m.x - 16, m.y}, e2 = {m.x + 16, m.y};
      }
      cone = Ordered(B, e1, e2);
      cones.back() = cone;
      continue;
    }
    if (c.code != mainCode && c.code != secondCode) break;
    if (c.code == secondCode && ck[size_t(last)].code == secondCode) break;
    const TWindow w = Window(c, mainH, B);
    const bool qN = Prec(cone.q - B, w.ends.q - B);
    const bool pN = Prec(w.ends.p - B, cone.p - B);
    const TCone narrowed{qN ? w.ends.q : cone.q, pN ? w.ends.p : cone.p};
    if (!Prec(narrowed.q - B, narrowed.p - B)) break;
    if (pN && !Inside(narrowed, B, w.innerQ)) break;
    if (qN && !Inside(narrowed, B, w.innerP)) break;
    cone = narrowed;
    cones.emplace_back(cone);
    last = k;
  }
  ends.clear();
  for (;;) {
    const V E = ck[size_t(last)].m;
    const std::optional<TCone>& cn = cones[size_t(last - start)];
    if (!cn) {
      ends.push_back(E);
      return last;
    }
    if (last - start + 1 <= bestLen) return last;
    const V u = mainH ? V{0, 1} : V{1, 0};
    if (Inside(*cn, B, E)) ends.push_back(E);
    for (int64_t i = 1; i <= 15; ++i) {
      const V plus = E + V{i * u.x, i * u.y}, minus = E - V{i * u.x, i * u.y};
      if (Inside(*cn, B, plus)) ends.push_back(plus);
      else if (Inside(*cn, B, minus)) ends.push_back(minus);
    }
    if (!ends.empty()) return last;
    --last;  // give the last crack back and try the cone before it
  }
}

}  // namespace

int SmoothStaircase(const std::vector<TStaircasePoint>& chain, int maxOut, std::vector<TPoint>& out) {
  out.clear();
  const int n = int(chain.size());
  if (n == 0) return -1;
  std::vector<TCrack> ck;
  ck.reserve(size_t(n));
  for (const TStaircasePoint& p : chain) ck.push_back(MakeCrack(p));
  std::vector<V> cands;
  const TCrack& first = ck[0];
  const bool firstH = first.code == 1 || first.code == -1;
  for (int64_t i = 1; i <= 15; ++i) cands.push_back(firstH ? V{first.m.x - i, first.m.y} : V{first.m.x, first.m.y + i});
  int start = 0;
  auto append = [&](V v) {
    if (int(out.size()) + 1 > maxOut) return false;
    out.push_back({int32_t(v.x), int32_t(v.y)});
    return true;
  };
  for (;;) {
    int bestLen = 0, bestLast = start;
    V bestB = cands.front();
    std::vector<V> bestEnds, ends;
    for (const V& B : cands) {
      const int last = GrowRun(ck, start, B, bestLen, ends);
      if (last - start + 1 > bestLen && !ends.empty()) {
        bestLen = last - start + 1;
        bestLast = last;
        bestB = B;
        bestEnds = ends;
      }
    }
    // Every stage adds a vertex, so maxOut bounds the walk.
    if (!append(bestB)) return -1;
    if (bestLast == n - 1) return append(bestEnds.front()) ? int(out.size()) : -1;
    cands = bestEnds;
    start = bestLast;
  }
}

// Radial filter, then Douglas-Peucker with an explicit stack.
int SimplifyPoints(const std::vector<TPoint>& points, std::vector<TPoint>& out, double t) {
  out.clear();
  const size_t count = points.size();
  if (count == 0) return 0;
  const double tt = t * t;
  auto d2 = [](TPoint a, TPoint b) {
    const double dx = double(a.x) - b.x, dy = double(a.y) - b.y;
    return dx * dx + dy * dy;
  };
  std::vector<TPoint> kept{points[0]};
  size_t lastKept = 0;
  for (size_t i = 1; i < count; ++i)
    if (d2(points[i], kept.back()) >= tt) kept.push_back(points[i]), lastKept = i;
  if (lastKept != count - 1) kept.push_back(points[count - 1]);
  std::vector<char> marked(kept.size(), 0);
  marked.front() = marked.back() = 1;
  std::vector<std::pair<size_t, size_t>> work{{0, kept.size() - 1}};
  while (!work.empty()) {
    const auto [a, b] = work.back();
    work.pop_back();
    if (b <= a + 1) continue;
    const TPoint A = kept[a], B = kept[b];
    const double bx = double(B.x) - A.x, by = double(B.y) - A.y, L = bx * bx + by * by;
    double best = -1;
    size_t winner = a;
    for (size_t c = a + 1; c < b; ++c) {
      const double cx = double(kept[c].x) - A.x, cy = double(kept[c].y) - A.y;
      const double d = cx * bx + cy * by;
      double nx, ny;
      if (d > 0 && d < L) nx = A.x + bx * (d / L), ny = A.y + by * (d / L);
      else if (d > 0) nx = B.x, ny = B.y;
      else nx = A.x, ny = A.y;
      const double dist = (kept[c].x - nx) * (kept[c].x - nx) + (kept[c].y - ny) * (kept[c].y - ny);
      if (dist > best) best = dist, winner = c;
    }
    if (best > tt) {
      marked[winner] = 1;
      work.push_back({winner, b});
      work.push_back({a, winner});
    }
  }
  for (size_t i = 0; i < kept.size(); ++i)
    if (marked[i]) out.push_back(kept[i]);
  return int(out.size());
}

