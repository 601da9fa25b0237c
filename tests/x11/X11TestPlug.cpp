#include "X11TestPlug.h"

#include "framework/IGraphics.h"
#include "framework/IParam.h"
#include "platform/headless/IGraphicsHeadless.h"
#include "platform/linux/IGraphicsLinux.h"

#include <mutex>

namespace x11_test
{
std::atomic<int> gAutomateCalls{0};
std::atomic<bool> gIdleInsideAutomate{false};

namespace
{
VstIntPtr TestHost(AEffect* effect, VstInt32 opcode, VstInt32, VstIntPtr, void*, float)
{
  if (opcode == audioMasterAutomate)
  {
    gAutomateCalls.fetch_add(1);
    // Some hosts run their UI loop, editor idle included, inside the automation callback.
    if (gIdleInsideAutomate.load() && effect) effect->dispatcher(effect, effEditIdle, 0, 0, nullptr, 0.0f);
  }
  if (opcode == audioMasterVersion) return 2400;
  return 0;
}

class Background : public IControl
{
public:
  Background(IEffectBase* plug, const IRECT& r) : IControl(plug, r) {}
  bool Draw(IGraphics* graphics) override
  {
    IColor fill(255, 30, 60, 90);
    graphics->FillRect(&fill, &mRECT);
    IColor line(255, 250, 250, 200);
    graphics->DrawLine(&line, 0, 100, 239, 119, nullptr, true);
    IText style(14, line);
    IRECT r(130, 70, 235, 90);
    graphics->DrawText(&style, "Kestrune", &r);
    return true;
  }
};
} // namespace

unsigned ColourKnob::ColourFor(double v)
{
  unsigned r = static_cast<unsigned>(v * 255.0 + 0.5);
  return (r << 16) | (40u << 8) | (255u - r);
}

bool ColourKnob::Draw(IGraphics* graphics)
{
  unsigned c = ColourFor(mValue);
  IColor colour(255, static_cast<int>(c >> 16), 40, static_cast<int>(c & 0xff));
  graphics->FillRect(&colour, &mRECT);
  return true;
}

bool NumberField::Draw(IGraphics* graphics)
{
  IColor white(255, 255, 255, 255);
  graphics->FillRect(&white, &mRECT);
  char text[MAX_PARAM_NAME_LEN] = {};
  if (IParam* p = mPlug->GetParam(mParamIdx)) p->GetDisplayForHost(text, sizeof(text));
  IColor black(255, 0, 0, 0);
  IText style(12, black);
  graphics->DrawText(&style, text, &mRECT);
  return true;
}

void NumberField::OnMouseDown(int, int, IMouseMod* mod)
{
  if (mod && mod->R) return; // the number field opens on a left click only
  if (IGraphics* g = GetGUI()) g->PromptUserInput(this, mPlug->GetParam(mParamIdx), false);
}

bool Probe::Draw(IGraphics* graphics)
{
  IColor c(255, 20, 140, 20);
  graphics->FillRect(&c, &mRECT);
  return true;
}

void Probe::OnMouseDown(int, int, IMouseMod* mod)
{
  IGraphics* g = GetGUI();
  if (!g || !mod) return;
  if (mod->R)
  {
    g->SetClipboardText(kProbeClipboardText);
    return;
  }
  std::string dir;
  g->ChooseFile(&mChooserAnswer, IGraphics::kFileOpen, &dir, "wav ogg flac sfz");
}

void Probe::OnMouseDblClick(int, int, IMouseMod*)
{
  ++mDblClicks;
  if (IGraphics* g = GetGUI()) g->OpenWebPage(kProbeUrl, nullptr, nullptr, kOpenPageError);
}

void Probe::OnDrop(int, int, const char* path)
{
  ++mDrops;
  mDropped = path ? path : "";
}

X11TestPlug::X11TestPlug(bool withWindow)
    : IEffectVST(IEffectInstanceInfo{&TestHost}, kNumTestParams, "0-2", 1, "X11 Test", "", "Tester", 0x10000,
                 0x58313174, 0x54657374, 0, 0, true, true)
{
  GetParam(kGain)->InitDouble("Gain", 50.0, 0.0, 100.0, 0.1);
  IGraphics* g = withWindow ? static_cast<IGraphics*>(new IGraphicsLinux(this, kEditorW, kEditorH))
                            : static_cast<IGraphics*>(new IGraphicsHeadless(this, kEditorW, kEditorH));
  g->AddControl(new Background(this, IRECT(0, 0, kEditorW, kEditorH)));
  mKnob = new ColourKnob(this, kKnobRect, kGain);
  g->AddControl(mKnob);
  mField = new NumberField(this, kFieldRect, kGain);
  g->AddControl(mField);
  mProbe = new Probe(this, kProbeRect);
  g->AddControl(mProbe);
  IColor black(255, 0, 0, 0);
  IText style(12, black);
  mText = new IEditableTextControl(this, kTextRect, &style, "hello");
  g->AddControl(mText);
  g->SetAcceptDrops(true);
  AttachGraphics(g);
}

IGraphics* X11TestPlug::Graphics() const
{
  return IGraphics::Of(this);
}

IGraphicsLinux* X11TestPlug::Linux() const
{
  return dynamic_cast<IGraphicsLinux*>(Graphics());
}

IGraphicsHeadless* X11TestPlug::Headless() const
{
  return dynamic_cast<IGraphicsHeadless*>(Graphics());
}

double X11TestPlug::Gain()
{
  std::lock_guard<InstanceMutex> lock(Mutex());
  return GetParam(kGain)->Value();
}

std::string X11TestPlug::Dropped()
{
  std::lock_guard<InstanceMutex> lock(Mutex());
  return mProbe->mDropped;
}

std::string X11TestPlug::TextFieldText()
{
  std::lock_guard<InstanceMutex> lock(Mutex());
  return mText->GetText();
}

VstIntPtr X11TestPlug::Dispatch(int opcode, int index, VstIntPtr value, void* ptr, float opt)
{
  AEffect* effect = GetAEffect();
  return effect->dispatcher(effect, opcode, index, value, ptr, opt);
}
} // namespace x11_test
