#pragma once
// The platform's graphics context for a plug-in's editor. Defined by the platform layer the program is
// linked with (platform/graphics): on this build a window-less context; a desktop build makes one that
// opens a native window in the host's parent.

class IEffectBase;
class IGraphics;

// A new graphics context of w x h pixels with fps timer ticks per second (0: the default rate). The
// caller fills it with controls and attaches it to plug, which owns it from then on.
IGraphics* MakeGraphics(IEffectBase* plug, int w, int h, int fps);
