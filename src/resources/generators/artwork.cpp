#include "resources/generators/artwork.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace sg::resources {
namespace {

constexpr double kPi = std::numbers::pi;

std::uint8_t Byte(double v) {
  return std::uint8_t(std::clamp(std::lround(v), 0L, 255L));
}

Rgba Hex(unsigned rgb, std::uint8_t alpha = 255) {
  return {std::uint8_t(rgb >> 16), std::uint8_t(rgb >> 8), std::uint8_t(rgb), alpha};
}

struct ShieldColours {
  Rgba border, light, dark, emblem;
};

ShieldColours ColoursOf(ShieldLook look) {
  switch (look) {
    case ShieldLook::kAlert:
      return {Hex(0x7A1414), Hex(0xF4685A), Hex(0xC42A1E), Hex(0xFFFFFF)};
    case ShieldLook::kDisabled:
      return {Hex(0x707070), Hex(0xCFCFCF), Hex(0x9C9C9C), Hex(0xF6F6F6)};
    case ShieldLook::kTools:
      return {Hex(0x145C28), Hex(0x5BCB74), Hex(0x238F3E), Hex(0xFFFFFF)};
    case ShieldLook::kNormal:
      break;
  }
  return {Hex(0x173C7E), Hex(0x5A98F2), Hex(0x2358C0), Hex(0xFFFFFF)};
}

Shape Union(Shape a, Shape b) {
  return [a = std::move(a), b = std::move(b)](double x, double y) { return a(x, y) || b(x, y); };
}

Shape Rect(double left, double top, double right, double bottom) {
  return [=](double x, double y) { return x >= left && x <= right && y >= top && y <= bottom; };
}

// The gate on the shield: three bars and a rail across them, laid on whole pixels of the
// icon sizes so that they stay crisp.
Shape GateShape(int size) {
  auto px = [size](double v) { return v / size; };
  if (size <= 16) {
    const double s = size / 16.0;
    Shape gate = Rect(px(4 * s), px(6 * s), px(12 * s), px(7 * s));
    gate = Union(std::move(gate), Rect(px(5 * s), px(4 * s), px(6 * s), px(11 * s)));
    gate = Union(std::move(gate), Rect(px(7 * s), px(4 * s), px(9 * s), px(12 * s)));
    return Union(std::move(gate), Rect(px(10 * s), px(4 * s), px(11 * s), px(11 * s)));
  }
  const double s = size / 32.0;
  Shape gate = Rect(px(9 * s), px(11 * s), px(23 * s), px(13 * s));
  gate = Union(std::move(gate), Rect(px(10 * s), px(7 * s), px(12 * s), px(22 * s)));
  gate = Union(std::move(gate), Rect(px(15 * s), px(7 * s), px(17 * s), px(23 * s)));
  return Union(std::move(gate), Rect(px(20 * s), px(7 * s), px(22 * s), px(22 * s)));
}

// Squeezes a shape horizontally about the centre line, as seen while it turns (scale = cosine).
Shape Turned(Shape shape, double scale) {
  return [shape = std::move(shape), scale](double x, double y) {
    if (std::abs(scale) < 1e-3) return false;
    return shape(0.5 + (x - 0.5) / std::abs(scale), y);
  };
}

Paint Gradient(Rgba light, Rgba dark) {
  return [=](double x, double y) {
    return Mix(light, dark, std::clamp((x + y) * 0.6 - 0.1, 0.0, 1.0));
  };
}

void DrawShield(Image& image, const ShieldColours& colours, double turn, bool emblem) {
  const int size = image.width;
  Fill(image, Turned(ShieldShape(0), turn), colours.border);
  Fill(image, Turned(ShieldShape(0.075), turn), Gradient(colours.light, colours.dark));
  if (emblem) Fill(image, Turned(GateShape(size), turn), colours.emblem);
}

// A band of light crossing the shield's face diagonally; `where` runs from about -0.3 to 2.3.
void DrawGlint(Image& image, double where) {
  Shape face = ShieldShape(0.075);
  Fill(
      image,
      [face, where](double x, double y) { return face(x, y) && std::abs(x + y - where) < 0.09; },
      Rgba{255, 255, 255, 90});
}

Shape Ring(double cx, double cy, double inner, double outer) {
  return [=](double x, double y) {
    const double d = std::hypot(x - cx, y - cy);
    return d >= inner && d <= outer;
  };
}

Shape Rays(double inner, double outer, double radius, double phase) {
  Shape rays = [](double, double) { return false; };
  for (int i = 0; i < 8; ++i) {
    const double a = phase + i * kPi / 4;
    rays = Union(std::move(rays),
                 StrokeShape(0.5 + inner * std::cos(a), 0.5 + inner * std::sin(a),
                             0.5 + outer * std::cos(a), 0.5 + outer * std::sin(a), radius));
  }
  return rays;
}

Shape BoltShape(double reach) {
  // A zigzag from the upper right towards the shield's centre; `reach` (0 to 1) grows it.
  std::vector<std::pair<double, double>> points = {{0.70, 0.0},  {0.93, 0.0},  {0.72, 0.22},
                                                   {0.84, 0.22}, {0.46, 0.56}, {0.60, 0.30},
                                                   {0.48, 0.30}};
  return [bolt = PolygonShape(points), reach](double x, double y) {
    return y <= 0.56 * reach + 0.001 && bolt(x, y);
  };
}

}  // namespace

Rgba Mix(Rgba a, Rgba b, double t) {
  return {Byte(a.r + (b.r - a.r) * t), Byte(a.g + (b.g - a.g) * t), Byte(a.b + (b.b - a.b) * t),
          Byte(a.a + (b.a - a.a) * t)};
}

void Fill(Image& image, const Shape& shape, const Paint& paint, int samples_per_axis) {
  const int n = std::max(1, samples_per_axis);
  for (int py = 0; py < image.height; ++py) {
    for (int px = 0; px < image.width; ++px) {
      double r = 0, g = 0, b = 0, a = 0;
      int covered = 0;
      for (int sy = 0; sy < n; ++sy) {
        for (int sx = 0; sx < n; ++sx) {
          const double x = (px + (sx + 0.5) / n) / image.width;
          const double y = (py + (sy + 0.5) / n) / image.height;
          if (!shape(x, y)) continue;
          const Rgba c = paint(x, y);
          r += c.r;
          g += c.g;
          b += c.b;
          a += c.a;
          ++covered;
        }
      }
      if (covered == 0) continue;
      // Source-over with straight colours: the painted colour weighted by its coverage.
      const double sa = a / 255.0 / (n * n);
      Rgba& d = image.at(px, py);
      const double da = d.a / 255.0;
      const double out_a = sa + da * (1 - sa);
      auto blend = [&](double source_sum, std::uint8_t dest) {
        return Byte((source_sum / covered * sa + dest * da * (1 - sa)) / out_a);
      };
      d = {blend(r, d.r), blend(g, d.g), blend(b, d.b), Byte(out_a * 255)};
    }
  }
}

Shape ShieldShape(double inset) {
  const double half = 0.42 - inset;
  const double top = 0.05 + inset;
  const double shoulder = 0.46;
  const double tip = 0.96 - inset * 1.7;
  const double corner = std::max(0.02, 0.10 - inset);
  return [=](double x, double y) {
    const double dx = std::abs(x - 0.5);
    if (y < top || y > tip) return false;
    if (y < top + corner && dx > half - corner) {
      return std::hypot(dx - (half - corner), y - (top + corner)) <= corner;
    }
    if (y <= shoulder) return dx <= half;
    const double t = (y - shoulder) / (tip - shoulder);
    return dx <= half * (1 - std::pow(t, 1.9));
  };
}

Shape PolygonShape(std::vector<std::pair<double, double>> points) {
  return [points = std::move(points)](double x, double y) {
    bool inside = false;
    for (std::size_t i = 0, j = points.size() - 1; i < points.size(); j = i++) {
      const auto [xi, yi] = points[i];
      const auto [xj, yj] = points[j];
      if ((yi > y) != (yj > y) && x < (xj - xi) * (y - yi) / (yj - yi) + xi) inside = !inside;
    }
    return inside;
  };
}

Shape StrokeShape(double ax, double ay, double bx, double by, double radius) {
  return [=](double x, double y) {
    const double vx = bx - ax, vy = by - ay;
    const double length2 = vx * vx + vy * vy;
    const double t =
        length2 > 0 ? std::clamp(((x - ax) * vx + (y - ay) * vy) / length2, 0.0, 1.0) : 0.0;
    return std::hypot(x - (ax + t * vx), y - (ay + t * vy)) <= radius;
  };
}

Image DrawShieldIcon(int size, ShieldLook look) {
  Image image(size, size);
  DrawShield(image, ColoursOf(look), 1.0, true);
  return image;
}

Image DrawWarningIcon(int size) {
  Image image(size, size);
  const double ax = 0.5, ay = 0.13, bx = 0.10, by = 0.86, cx = 0.90, cy = 0.86;
  const Shape core = PolygonShape({{ax, ay}, {bx, by}, {cx, cy}});
  // Rounded corners: everything within a radius of the triangle.
  auto rounded = [=](double radius) -> Shape {
    const Shape e1 = StrokeShape(ax, ay, bx, by, radius);
    const Shape e2 = StrokeShape(bx, by, cx, cy, radius);
    const Shape e3 = StrokeShape(cx, cy, ax, ay, radius);
    return [=](double x, double y) { return core(x, y) || e1(x, y) || e2(x, y) || e3(x, y); };
  };
  Fill(image, rounded(0.08), Hex(0x8C5A00));
  Fill(image, rounded(0.02), [](double, double y) {
    return Mix(Hex(0xFFE066), Hex(0xF2A900), std::clamp((y - 0.15) / 0.7, 0.0, 1.0));
  });
  Fill(image, StrokeShape(0.5, 0.38, 0.5, 0.60, 0.055), Hex(0x202020));
  Fill(image, StrokeShape(0.5, 0.735, 0.5, 0.735, 0.06), Hex(0x202020));
  return image;
}

Image DrawOffMark(int size) {
  Image image(size, size);
  const double lo = 0.27, hi = 0.73, radius = 0.07;
  Fill(image, StrokeShape(lo, lo, hi, hi, radius), Rgba{0, 0, 0, 255});
  Fill(image, StrokeShape(hi, lo, lo, hi, radius), Rgba{0, 0, 0, 255});
  return image;
}

Image DrawPluginStates() {
  constexpr int kSide = 16;
  Image check(kSide, kSide);
  // A dark rim under a bright stroke keeps the mark readable on white and on the selection.
  const auto tick = [](double radius) {
    const Shape down = StrokeShape(0.20, 0.52, 0.42, 0.74, radius);
    const Shape up = StrokeShape(0.42, 0.74, 0.82, 0.24, radius);
    return Union(down, up);
  };
  Fill(check, tick(0.12), Hex(0x0F5A1C));
  Fill(check, tick(0.065), Hex(0x2DBE45));

  Image cross(kSide, kSide);
  const auto arms = [](double radius) {
    return Union(StrokeShape(0.26, 0.26, 0.74, 0.74, radius),
                 StrokeShape(0.74, 0.26, 0.26, 0.74, radius));
  };
  Fill(cross, arms(0.12), Hex(0x7A0C0C));
  Fill(cross, arms(0.065), Hex(0xE0281E));

  Image states(kSide * kPluginStatePictures, kSide);
  for (int y = 0; y < kSide; ++y) {
    for (int x = 0; x < kSide; ++x) {
      states.at(x, y) = check.at(x, y);
      states.at(kSide + x, y) = cross.at(x, y);
    }
  }
  return states;
}

std::vector<Image> DrawIdleClip(int size, Rgba backdrop) {
  const ShieldColours colours = ColoursOf(ShieldLook::kNormal);
  const ShieldColours back = {colours.border, Mix(colours.light, colours.dark, 0.6),
                              Mix(colours.dark, colours.border, 0.4), colours.emblem};
  std::vector<Image> frames;
  // Resting, with a glint passing in the middle of the rest.
  for (int i = 0; i < 7; ++i) {
    Image frame(size, size, backdrop);
    DrawShield(frame, colours, 1.0, true);
    if (i >= 1 && i <= 5) DrawGlint(frame, -0.2 + (i - 1) * 0.6);
    frames.push_back(std::move(frame));
  }
  // One turn about the upright axis, ending just before the front faces out again.
  for (int i = 1; i <= 9; ++i) {
    Image frame(size, size, backdrop);
    const double turn = std::cos(2 * kPi * i / 10.0);
    if (turn >= 0) {
      DrawShield(frame, colours, std::max(turn, 0.08), true);
    } else {
      DrawShield(frame, back, std::min(turn, -0.08), false);
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

std::vector<Image> DrawZapClip(int size, Rgba backdrop) {
  const ShieldColours normal = ColoursOf(ShieldLook::kNormal);
  const ShieldColours alert = ColoursOf(ShieldLook::kAlert);
  const Rgba bolt = Hex(0xFFD21F);
  const Rgba spark = Hex(0xFFB000);
  auto blend = [](const ShieldColours& a, const ShieldColours& b, double t) {
    return ShieldColours{Mix(a.border, b.border, t), Mix(a.light, b.light, t),
                         Mix(a.dark, b.dark, t), a.emblem};
  };
  std::vector<Image> frames;
  for (int i = 0; i < 9; ++i) {
    Image frame(size, size, backdrop);
    switch (i) {
      case 0:
        DrawShield(frame, normal, 1.0, true);
        break;
      case 1:
      case 2:
        DrawShield(frame, normal, 1.0, true);
        Fill(frame, BoltShape(i / 2.0), bolt);
        break;
      case 3:
        Fill(frame, Ring(0.5, 0.5, 0.0, 0.5), Rgba{255, 236, 150, 200});
        DrawShield(frame, alert, 1.0, true);
        break;
      case 4:
      case 5:
      case 6: {
        const double spread = (i - 3) / 3.0;
        Fill(frame, Rays(0.30 + 0.12 * spread, 0.40 + 0.10 * spread, 0.035, i * 0.2),
             Mix(bolt, spark, spread));
        DrawShield(frame, blend(alert, normal, i == 6 ? 0.3 : 0.0), 0.96 + 0.02 * (i - 4), true);
        break;
      }
      default:
        DrawShield(frame, blend(alert, normal, i == 7 ? 0.7 : 1.0), 1.0, true);
        break;
    }
    frames.push_back(std::move(frame));
  }
  return frames;
}

}  // namespace sg::resources
