#include "editor/IURLOpen.h"

#include "editor/EditorConstants.h"
#include "framework/IEffectBase.h"
#include "framework/IGraphics.h"

std::string IURLOpen::Address() const
{
  std::string url = kProductPageBase;
  if (mPlug) url += mPlug->GetEffectName();
  return url;
}

void IURLOpen::OnMouseDown(int, int, IMouseMod*)
{
  IGraphics* graphics = GetGUI();
  if (!graphics) return;
  const std::string url = Address();
  graphics->OpenWebPage(url.c_str(), nullptr, nullptr, kOpenPageError);
}
