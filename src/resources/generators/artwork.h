#pragma once

// The program's pictures, drawn from simple geometry so that they are built, not shipped.
// Shapes are given in coordinates from 0 to 1 across the picture (y downwards) and painted with
// several samples per pixel, which smooths their edges at any size.

#include <functional>
#include <vector>

#include "resources/generators/resource_formats.h"

namespace sg::resources {

using Shape = std::function<bool(double x, double y)>;
using Paint = std::function<Rgba(double x, double y)>;

// Paints `paint` wherever `shape` covers the image, over what is already there.
void Fill(Image& image, const Shape& shape, const Paint& paint, int samples_per_axis = 4);
inline void Fill(Image& image, const Shape& shape, Rgba colour) {
  Fill(image, shape, [colour](double, double) { return colour; });
}

Rgba Mix(Rgba a, Rgba b, double t);

// The shield outline; `inset` moves every edge inwards (for the inner face inside a border).
Shape ShieldShape(double inset = 0);
// A polygon (any simple outline, even-odd rule).
Shape PolygonShape(std::vector<std::pair<double, double>> points);
// All points within `radius` of the segment from a to b.
Shape StrokeShape(double ax, double ay, double bx, double by, double radius);

enum class ShieldLook { kNormal, kAlert, kDisabled, kTools };

// The program's icon: a shield bearing a gate. Each look has its own colours.
Image DrawShieldIcon(int size, ShieldLook look);
// The warning sign of the protection tools: a rounded triangle with an exclamation mark.
Image DrawWarningIcon(int size);
// The mark beside "Enabled" while blocking is off: a small cross, as ink on transparent.
Image DrawOffMark(int size);

// The plug-in list's state pictures, 16 x 16 side by side on transparent: 0 enabled (a green
// check mark), 1 disabled (a red cross).
inline constexpr int kPluginStatePictures = 2;
Image DrawPluginStates();

// The backdrop of the animation frames: the dialog face colour they are shown on.
inline constexpr Rgba kDialogFace{240, 240, 240, 255};

// The calm clip of the main dialog: the shield rests, a glint passes over it, then it turns.
std::vector<Image> DrawIdleClip(int size, Rgba backdrop = kDialogFace);
// The short clip played when the animation is double-clicked: a bolt strikes the shield.
std::vector<Image> DrawZapClip(int size, Rgba backdrop = kDialogFace);

inline constexpr unsigned kIdleClipMicrosecondsPerFrame = 110000;
inline constexpr unsigned kZapClipMicrosecondsPerFrame = 100000;

}  // namespace sg::resources
