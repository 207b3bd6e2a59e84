// TPixVect: import of the lines, circles and arcs of a text DXF drawing as
// objects. The drawing's extents (when its header gives them) are fitted
// into the picture; without them one drawing unit is one pixel, with y
// measured up from the picture's bottom edge. Numbers always use ".".
#include <algorithm>
#include <charconv>
#include <cmath>
#include <map>
#include <string>
#include <vector>

#include "imaging/view/ievect.h"
#include "imaging/view/ievect_stream.h"

namespace {

using TPairs = std::vector<std::pair<int, std::string>>;

std::string Trimmed(std::string s) {
  const auto notSpace = [](unsigned char c) { return c != ' ' && c != '\t' && c != '\r' && c != '\n'; };
  s.erase(s.begin(), std::find_if(s.begin(), s.end(), notSpace));
  s.erase(std::find_if(s.rbegin(), s.rend(), notSpace).base(), s.end());
  return s;
}

// Group code and value lines; a code line that is not a number is -1.
TPairs ReadPairs(const std::string& text) {
  std::vector<std::string> lines;
  size_t at = 0;
  while (at < text.size()) {
    size_t end = text.find('\n', at);
    if (end == std::string::npos) end = text.size();
    lines.push_back(Trimmed(text.substr(at, end - at)));
    at = end + 1;
  }
  TPairs pairs;
  for (size_t i = 0; i + 1 < lines.size(); i += 2) {
    int code = -1;
    const std::string& c = lines[i];
    auto r = std::from_chars(c.data(), c.data() + c.size(), code);
    if (r.ec != std::errc() || r.ptr != c.data() + c.size()) code = -1;
    pairs.emplace_back(code, lines[i + 1]);
  }
  return pairs;
}

// A drawing value; anything that is not a finite number of sane size is a
// damaged file.
double Number(const std::string& s) {
  double v = 0;
  const char* b = s.data();
  if (!s.empty() && *b == '+') ++b;
  auto r = std::from_chars(b, s.data() + s.size(), v);
  if (r.ec != std::errc() || r.ptr != s.data() + s.size() || !std::isfinite(v) || std::fabs(v) > 1e12)
    throw EIEVectorError("DXF: bad number \"" + s + "\"");
  return v;
}

int32_t ToPixel(double v) {
  if (!std::isfinite(v) || std::fabs(v) > 1e9) throw EIEVectorError("DXF: coordinate out of range");
  return int32_t(std::trunc(v));
}

// The values of the codes asked for, from pair i on up to the next entity
// (code 0); i comes back at that entity.
std::map<int, double> EntityValues(const TPairs& p, size_t& i) {
  std::map<int, double> v;
  for (; i < p.size() && p[i].first != 0; ++i)
    if (p[i].first == 10 || p[i].first == 20 || p[i].first == 11 || p[i].first == 21 || p[i].first == 40 ||
        p[i].first == 50 || p[i].first == 51)
      v[p[i].first] = Number(p[i].second);
  return v;
}

// Codes 10 and 20 from pair i on, in any order, up to the end.
void FindXY(const TPairs& p, size_t& i, double& x, double& y) {
  bool gotX = false, gotY = false;
  for (; i < p.size() && !(gotX && gotY); ++i) {
    if (p[i].first == 10 && !gotX) x = Number(p[i].second), gotX = true;
    else if (p[i].first == 20 && !gotY) y = Number(p[i].second), gotY = true;
  }
}

}  // namespace

bool TPixVect::ImportDXFStream(TStream* stream) {
  bool ok = true;
  try {
    std::string text;
    const int64_t size = stream->GetSize() - stream->GetPosition();
    if (size > 0) {
      text.resize(size_t(size));
      IEVReadExact(stream, text.data(), size);
    }
    TBitmap* picture = GetFBitmap();
    const double W = picture ? picture->GetWidth() : 0, H = picture ? picture->GetHeight() : 0;
    double s = 1.0, v = 0, xmin = 0, ymin = 0, xmax = 0, ymax = 0;
    TIEVObject a = templ_;
    a.BeginShape = a.EndShape = iesNONE;
    a.ShapeWidth = 10;
    a.ShapeHeight = 20;
    a.PenWidth = 1;
    a.BitmapIdx = -1;
    static const char* const sections[] = {"HEADER", "CLASSES", "TABLES", "BLOCKS", "ENTITIES", "OBJECTS"};
    const TPairs p = ReadPairs(text);
    int section = 0;
    auto X = [&](double x) { return ToPixel((x - xmin) * s); };
    auto Y = [&](double y) { return ToPixel(H - std::trunc((y - ymin) * s) - v); };
    for (size_t i = 0; i < p.size();) {
      const auto& [code, value] = p[i];
      if (code == 0 && value == "SECTION") {
        section = 0;
        if (i + 1 < p.size() && p[i + 1].first == 2)
          for (int k = 0; k < 6; ++k)
            if (p[i + 1].second == sections[k]) section = k + 1;
        i += 2;
        continue;
      }
      ++i;
      if (section == 1 && code == 9 && value == "$EXTMIN") {
        FindXY(p, i, xmin, ymin);
      } else if (section == 1 && code == 9 && value == "$EXTMAX") {
        FindXY(p, i, xmax, ymax);
        s = std::min(H / (ymax - ymin + 1), W / (xmax - xmin + 1));
        // A drawing that cannot be fitted (an empty picture, reversed or
        // degenerate extents) is refused.
        if (!(s > 0) || !std::isfinite(s)) throw EIEVectorError("DXF: extents give no scale");
        v = H - std::trunc((ymax - ymin) * s);
      } else if (section == 5 && code == 0 && (value == "LINE" || value == "CIRCLE" || value == "ARC")) {
        std::map<int, double> e = EntityValues(p, i);
        TIEVObject o = a;
        if (value == "LINE") {
          o.Kind = iekLINE;
          o.x1 = X(e[10]), o.y1 = Y(e[20]), o.x2 = X(e[11]), o.y2 = Y(e[21]);
        } else {
          const double cx = e[10], cy = e[20], r = e[40];
          o.Kind = value == "ARC" ? iekARC : iekELLIPSE;
          o.x1 = X(cx - r), o.y1 = Y(cy - r), o.x2 = X(cx + r), o.y2 = Y(cy + r);
          if (value == "ARC") {
            std::swap(o.x1, o.x2);
            std::swap(o.y1, o.y2);
            o.ArcStart = 2 * M_PI - e[50] * M_PI / 180;
            o.ArcEnd = 2 * M_PI - e[51] * M_PI / 180;
          }
        }
        AddVObject(o);
      }
    }
  } catch (const Exception&) {
    ok = false;
  } catch (const std::exception&) {
    ok = false;
  }
  Update();
  return ok;
}

bool TPixVect::ImportDXF(const std::string& name) {
  try {
    TFileStream f(name, fmOpenRead | fmShareDenyWrite);
    return ImportDXFStream(&f);
  } catch (const Exception&) {
    Update();
    return false;
  }
}
