#pragma once
// A small plug-in for the X11 editor tests: a real VST binding with one knob (a stock IKnobControl
// that paints its value as a colour), a number field, a free-text field, and a probe area that records
// drops and offers the clipboard (right click), the file dialog (left click) and a web page (double
// click). The same controls can sit in the X11 context or the window-less one.

#include "framework/IControl.h"
#include "framework/IEditableTextControl.h"
#include "framework/IEffectVST.h"
#include "framework/IKnobControl.h"

#include <atomic>
#include <string>

class IGraphicsLinux;
class IGraphicsHeadless;

namespace x11_test
{
constexpr int kEditorW = 240;
constexpr int kEditorH = 120;
constexpr const char* kProbeClipboardText = "/tmp/some folder/kick drum.wav";
constexpr const char* kProbeUrl = "https://example.org/kestrune";
constexpr const char* kOpenPageError = "Cannot open url. Check your default browser.";

enum TestParam
{
  kGain = 0, // double 0..100, step 0.1
  kNumTestParams
};

// Rectangles of the controls, editor pixels.
const IRECT kKnobRect(10, 10, 60, 60);
const IRECT kFieldRect(70, 10, 150, 30);
const IRECT kProbeRect(160, 10, 230, 60);
const IRECT kTextRect(10, 70, 120, 90);

class ColourKnob : public IKnobControl
{
public:
  ColourKnob(IEffectBase* plug, const IRECT& r, int paramIdx) : IKnobControl(plug, r, paramIdx) {}
  bool Draw(IGraphics* graphics) override;
  // The colour the knob shows for normalised value v (0x00RRGGBB).
  static unsigned ColourFor(double v);
};

class NumberField : public IControl
{
public:
  NumberField(IEffectBase* plug, const IRECT& r, int paramIdx) : IControl(plug, r, paramIdx) {}
  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
};

class Probe : public IControl
{
public:
  Probe(IEffectBase* plug, const IRECT& r) : IControl(plug, r) {}
  bool Draw(IGraphics* graphics) override;
  void OnMouseDown(int x, int y, IMouseMod* mod) override;
  void OnMouseDblClick(int x, int y, IMouseMod* mod) override;
  void OnDrop(int x, int y, const char* path) override;
  std::string mDropped; // under the instance mutex
  int mDrops = 0;
  int mDblClicks = 0;
  std::string mChooserAnswer = "unset"; // what ChooseFile answered at once
};

class X11TestPlug : public IEffectVST
{
public:
  // withWindow: the X11 context; else the window-less one.
  explicit X11TestPlug(bool withWindow);
  IGraphics* Graphics() const;
  IGraphicsLinux* Linux() const;
  IGraphicsHeadless* Headless() const;
  // The gain value in its own units, read under the instance mutex.
  double Gain();
  std::string Dropped();
  std::string TextFieldText();
  VstIntPtr Dispatch(int opcode, int index = 0, VstIntPtr value = 0, void* ptr = nullptr, float opt = 0.0f);

  ColourKnob* mKnob = nullptr;
  NumberField* mField = nullptr;
  Probe* mProbe = nullptr;
  IEditableTextControl* mText = nullptr;
};

// Host callback records (the callback is a plain function).
extern std::atomic<int> gAutomateCalls;
// When set, the host calls effEditIdle from inside each automation callback.
extern std::atomic<bool> gIdleInsideAutomate;
} // namespace x11_test
