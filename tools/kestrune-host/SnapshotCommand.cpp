#include "tools/kestrune-host/SnapshotCommand.h"

#include "drawing/DRAW_MemBitmap.h"
#include "drawing/DRAW_PNG.h"
#include "drawing/DRAW_Pixel.h"
#include "framework/EditorPicture.h"
#include "tools/kestrune-host/CommandPlugin.h"
#include "tools/kestrune-host/HostTunables.h"

#include <algorithm>
#include <cmath>

namespace khost
{

namespace
{
// Editors larger than this are refused rather than allocated for.
constexpr int kMaxEditorSidePixels = 16384;
} // namespace

bool SnapshotCommand::EditorSize(HostedPlugin& plugin, int* width, int* height)
{
  if (!plugin.HasFlag(effFlagsHasEditor)) return false;
  ERect* rect = nullptr;
  plugin.Dispatch(effEditGetRect, 0, 0, &rect);
  if (!rect) return false;
  *width = rect->right - rect->left;
  *height = rect->bottom - rect->top;
  return *width > 0 && *height > 0 && *width <= kMaxEditorSidePixels && *height <= kMaxEditorSidePixels;
}

bool SnapshotCommand::EditorSizeAt(HostedPlugin& plugin, int scale, int* width, int* height)
{
  EditorPictureRequest request;
  request.scale = scale;
  if (plugin.Dispatch(effVendorSpecific, kVendorEditorPictureIndex, kVendorEditorPictureValue, &request) !=
      kVendorEditorPictureDrawn)
    return false;
  *width = request.width;
  *height = request.height;
  return *width > 0 && *height > 0 && *width <= kMaxEditorSidePixels && *height <= kMaxEditorSidePixels;
}

bool SnapshotCommand::TakePicture(HostedPlugin& plugin, int width, int height, int ticks, int scale,
                                  std::vector<uint32_t>* pixels)
{
  pixels->assign(static_cast<size_t>(width) * height, 0);
  EditorPictureRequest request;
  request.width = width;
  request.height = height;
  request.ticks = ticks;
  request.scale = scale;
  request.pixels = pixels->data();
  return plugin.Dispatch(effVendorSpecific, kVendorEditorPictureIndex, kVendorEditorPictureValue, &request) ==
         kVendorEditorPictureDrawn;
}

bool SnapshotCommand::WritePng(const std::string& path, const std::vector<uint32_t>& pixels, int width,
                               int height)
{
  DRAW_MemBitmap bitmap(width, height);
  for (int y = 0; y < height; ++y)
  {
    DRAW_Pixel* row = bitmap.Row(y);
    const uint32_t* in = pixels.data() + static_cast<size_t>(y) * width;
    for (int x = 0; x < width; ++x)
      row[x] = DRAW_MakePixel(in[x] >> 16 & 0xFF, in[x] >> 8 & 0xFF, in[x] & 0xFF, in[x] >> 24);
  }
  return DRAW_SavePNG(&bitmap, path.c_str());
}

int SnapshotCommand::Run(const Options& options, FILE* out, FILE* err)
{
  if (options.output.empty())
  {
    std::fputs("snapshot needs -o EDITOR.png\n", err);
    return 2;
  }
  CommandPlugin loaded;
  if (!loaded.Open(options, err) || !loaded.StartAndLoad(options.load, err)) return 1;
  HostedPlugin& plugin = loaded.Instance();
  const double rate = loaded.Rate();
  const int block = loaded.Block();
  // One block with the transport stopped, as a DAW's engine runs before anything is played.
  plugin.SetTransport(0.0, 120.0, 0.0, false);
  plugin.Process(block);
  for (const auto& [note, velocity] : options.notes)
    plugin.QueueMidi(0, 0x90, static_cast<uint8_t>(note), static_cast<uint8_t>(velocity));
  const double hold = options.holdSeconds >= 0.0 ? options.holdSeconds : kDefaultSnapshotHoldSeconds;
  int64_t frames = std::llround(hold * rate);
  do
  {
    const int n = static_cast<int>(std::min<int64_t>(std::max<int64_t>(frames, 1), block));
    plugin.Process(n);
    frames -= n;
  } while (frames > 0);

  int width = 0, height = 0;
  if (!EditorSize(plugin, &width, &height))
  {
    std::fprintf(err, "%s: the plug-in has no editor to draw\n", options.plugin.c_str());
    return 3;
  }
  if (options.scale != 0 && !EditorSizeAt(plugin, options.scale, &width, &height))
  {
    std::fprintf(err, "%s: the plug-in does not draw its editor at another size\n", options.plugin.c_str());
    return 3;
  }
  std::vector<uint32_t> pixels;
  const int ticks = options.ticks >= 0 ? options.ticks : kDefaultSnapshotTicks;
  if (!TakePicture(plugin, width, height, ticks, options.scale, &pixels))
  {
    std::fprintf(err,
                 "%s: the plug-in does not draw its editor without a window (it does not serve the "
                 "editor-picture call); the edit command shows it in a window\n",
                 options.plugin.c_str());
    return 3;
  }
  if (!WritePng(options.output, pixels, width, height))
  {
    std::fprintf(err, "cannot write %s\n", options.output.c_str());
    return 1;
  }
  std::fprintf(out, "%s: %d x %d pixels\n", options.output.c_str(), width, height);
  return 0;
}
} // namespace khost
