#pragma once
// The host callback the tool hands to every plug-in. It answers as a DAW does: the host's version,
// identity and capabilities, the sample rate and block size, the transport (time information), the
// process level, and it records automation, edit gestures and MIDI sent back by the plug-in. Each
// instance's answers come from its HostedPlugin, found in a registry by the AEffect address (the record's
// user pointer is not used: some plug-in frameworks keep their own data there); calls made while the
// instance is being constructed, before it is registered, get the defaults.
//
// Called on any thread the plug-in calls from (audio, automation, its own); allocates nothing, so the
// allocation count of a process call is the plug-in's own.

#include "framework/VstDefs.h"

namespace khost
{

class HostedPlugin;

// Connects an instance's record to the HostedPlugin that answers its calls (null removes it).
void RegisterHostedPlugin(AEffect* effect, HostedPlugin* hosted);

extern "C" VstIntPtr HostCallback(AEffect* effect, VstInt32 opcode, VstInt32 index, VstIntPtr value,
                                  void* ptr, float opt);

// The host's identity as the plug-in sees it.
constexpr const char* kHostVendorString = "Kestrune";
constexpr const char* kHostProductString = "kestrune-host";
constexpr VstIntPtr kHostVendorVersion = 10100;
} // namespace khost
