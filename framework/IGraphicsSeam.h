#pragma once
// IGraphicsSeam: the few operations of the editor's graphics context that the plug-in base and the
// VST binding call. The editor framework's IGraphics implements this interface; the base owns the
// attached context through it and deletes it with the instance.
//
// Threads: every call comes from the host's UI thread or from a dispatcher call, with the instance
// mutex held.

#include <cstdint>

class IGraphicsSeam
{
public:
  virtual ~IGraphicsSeam() = default;

  // Shows a parameter's value on the controls bound to it (normalised or in real units).
  virtual void ShowParamValue(int paramIdx, double value, bool normalized) = 0;
  // Prepares the drawing buffers, once, when attached to the plug-in.
  virtual void PrepDraw() = 0;
  // Starts / stops the countdown that ends a delayed parameter gesture (in editor ticks).
  virtual void SetParamChangeTimer(int ticks) = 0;
  virtual void CancelParamChangeTimer() = 0;
  // Editor size in layout units (its 100 % size) and its redraw rate in ticks per second.
  virtual int Width() const = 0;
  virtual int Height() const = 0;
  virtual int FPS() const = 0;
  // The editor's size in percent of Width() x Height() (100, 150 or 200).
  virtual int ScalePercent() const { return 100; }
  // Editor size in screen pixels at its current scale.
  virtual int PixelWidth() const { return Width(); }
  virtual int PixelHeight() const { return Height(); }
  // The same size in the measure of the host's windows: screen pixels, or points on macOS, where a
  // point may hold several pixels. What effEditGetRect answers.
  virtual int WindowWidth() const { return PixelWidth(); }
  virtual int WindowHeight() const { return PixelHeight(); }
  // effEditGetRect is being answered: a closed editor settles the size it will open at.
  virtual void EditorRectQueried() {}
  // Opens the native editor in the host's parent window; false if that fails. Close is safe unpaired.
  virtual bool OpenWindow(void* parentWindow) = 0;
  virtual void CloseWindow() = 0;
  // The host's mouse-wheel extension: delta in wheel steps; answers whether it was handled.
  virtual int ProcessMouseWheel(float delta) = 0;
  // effEditIdle: the host's periodic call while the editor is open (some hosts never make it).
  virtual void EditIdle() {}
  // Draws the whole editor at scale percent (0: its current size), runs `ticks` timer ticks with their
  // redraws and copies the picture into pixels (width x height words, A R G B from the high byte down,
  // opaque). False, with nothing written, when the size is not the editor's pixel size at that scale,
  // the scale is not one of the editor's or ticks is out of range.
  virtual bool DrawPicture(int ticks, int scale, uint32_t* pixels, int width, int height) = 0;
  // The instance is about to be destroyed (effClose, without the instance mutex): platform threads
  // stop here, while the whole instance still exists.
  virtual void Shutdown() {}
};
