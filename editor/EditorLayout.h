#pragma once
// Builds the sampler's editor: the graphics context and every control of the five slot columns, the
// header and the message bar, attaches it to the plug-in and answers the per-slot views the engine
// notifies. Called once by the plug-in's constructor, after the slot parameters exist and every slot
// holds its one-element sample array.

#include "editor/SlotViews.h"

#include <memory>

class IEffectBase;
class SamplerEngine;

std::unique_ptr<SlotViews> BuildEditor(IEffectBase* plug, SamplerEngine* engine);
