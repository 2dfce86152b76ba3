// Build step: draws one of the program's pictures and writes it in its resource format.
//   make_picture icon <normal|alert|disabled|tools|warning> <output.ico>
//   make_picture off-mark <output.bmp>
//   make_picture plugin-states <output.bmp>
//   make_picture clip <idle|zap> <output.avi>
#include <cstdio>
#include <string>
#include <utility>

#include "resources/generators/artwork.h"
#include "resources/generators/resource_formats.h"

namespace {

using namespace sg::resources;

bool IconOf(const std::string& name, int size, Image& image) {
  static const std::pair<const char*, ShieldLook> kLooks[] = {{"normal", ShieldLook::kNormal},
                                                              {"alert", ShieldLook::kAlert},
                                                              {"disabled", ShieldLook::kDisabled},
                                                              {"tools", ShieldLook::kTools}};
  if (name == "warning") {
    image = DrawWarningIcon(size);
    return true;
  }
  for (const auto& [look_name, look] : kLooks) {
    if (name == look_name) {
      image = DrawShieldIcon(size, look);
      return true;
    }
  }
  return false;
}

int Usage() {
  std::fprintf(stderr,
               "usage: make_picture icon <normal|alert|disabled|tools|warning> <out.ico>\n"
               "       make_picture off-mark <out.bmp>\n"
               "       make_picture plugin-states <out.bmp>\n"
               "       make_picture clip <idle|zap> <out.avi>\n");
  return 2;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc < 3) return Usage();
  const std::string kind = argv[1];
  Bytes bytes;
  std::string output;
  if (kind == "icon" && argc == 4) {
    Image small, large;
    if (!IconOf(argv[2], 16, small) || !IconOf(argv[2], 32, large)) return Usage();
    bytes = EncodeIco({small, large});
    output = argv[3];
  } else if (kind == "off-mark" && argc == 3) {
    bytes = EncodeMonochromeBmp(DrawOffMark(13));
    output = argv[2];
  } else if (kind == "plugin-states" && argc == 3) {
    bytes = EncodeBmp24(DrawPluginStates());
    output = argv[2];
  } else if (kind == "clip" && argc == 4) {
    const std::string name = argv[2];
    if (name == "idle") {
      bytes =
          EncodeAvi(QuantizeClip(DrawIdleClip(32), kIdleClipMicrosecondsPerFrame, {kDialogFace}));
    } else if (name == "zap") {
      bytes = EncodeAvi(QuantizeClip(DrawZapClip(32), kZapClipMicrosecondsPerFrame, {kDialogFace}));
    } else {
      return Usage();
    }
    output = argv[3];
  } else {
    return Usage();
  }
  if (!WriteBytes(output, bytes)) {
    std::fprintf(stderr, "make_picture: cannot write %s\n", output.c_str());
    return 1;
  }
  return 0;
}
