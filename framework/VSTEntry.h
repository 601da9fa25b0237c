#pragma once
// The module's entry point logic. The exported functions (VSTPluginMain and main, in the platform
// folder) forward to VSTCreateInstance with the plug-in class's factory:
//
//   extern "C" KESTRUNE_EXPORT AEffect* VSTPluginMain(audioMasterCallback host)
//   { return VSTCreateInstance(host, &MakePlug); }
//
// MakePlug is defined by the plug-in class's code (one definition per module):
//
//   IEffectVST* MakePlug(IEffectInstanceInfo info) { return new CLS_KESTRUNE(info); }

#include "framework/IEffectVST.h"

// Creates one instance with the factory: under a process-wide creation lock, constructs it,
// EnsureDefaultPreset(), raises numPrograms to at least 1 and answers the instance's AEffect.
// Answers null without a host callback or factory (nothing is constructed), and when the factory
// answers null or throws: no exception crosses into the host. The host's version is not checked.
using VSTPlugFactory = IEffectVST* (*)(IEffectInstanceInfo info);
AEffect* VSTCreateInstance(audioMasterCallback hostCallback, VSTPlugFactory factory);

// The plug-in class's factory, defined by the plug-in (not by the framework).
IEffectVST* MakePlug(IEffectInstanceInfo info);
