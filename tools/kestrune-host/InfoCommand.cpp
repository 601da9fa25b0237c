#include "tools/kestrune-host/InfoCommand.h"

#include "tools/kestrune-host/CommandPlugin.h"

#include <cstring>
#include <string>

namespace khost
{

namespace
{
const char* CategoryName(VstIntPtr category)
{
  static const char* const kNames[] = {"unknown",     "effect",          "instrument",  "analysis",
                                       "mastering",   "spatialiser",     "room effect", "surround effect",
                                       "restoration", "offline process", "shell",       "generator"};
  return category >= 0 && category < kPlugCategMaxCount ? kNames[category] : "not a known category";
}

std::string FourChars(VstInt32 id)
{
  std::string text;
  for (int shift = 24; shift >= 0; shift -= 8)
  {
    const char c = static_cast<char>((id >> shift) & 0xFF);
    text += (c >= 32 && c < 127) ? c : '.';
  }
  return text;
}

std::string FlagNames(VstInt32 flags)
{
  static const struct
  {
    VstInt32 flag;
    const char* name;
  } kFlags[] = {{effFlagsHasEditor, "editor"},         {effFlagsCanMono, "mono"},
                {effFlagsCanReplacing, "replacing"},   {effFlagsProgramChunks, "chunks"},
                {effFlagsIsSynth, "instrument"},       {effFlagsNoSoundInStop, "no-sound-in-stop"},
                {effFlagsCanDoubleReplacing, "double"}};
  std::string text;
  for (const auto& f : kFlags)
    if (flags & f.flag) text += std::string(text.empty() ? "" : " ") + f.name;
  return text;
}

void PrintPins(HostedPlugin& plugin, FILE* out, VstInt32 opcode, int count, const char* what)
{
  for (int i = 0; i < count; ++i)
  {
    VstPinProperties pin;
    std::memset(&pin, 0, sizeof(pin));
    if (plugin.Dispatch(opcode, i, 0, &pin) == 0)
    {
      std::fprintf(out, "  %s %d: (no properties)\n", what, i + 1);
      continue;
    }
    pin.label[sizeof(pin.label) - 1] = '\0';
    std::fprintf(out, "  %s %d: \"%s\"%s%s\n", what, i + 1, pin.label,
                 (pin.flags & kVstPinIsActive) ? " active" : "",
                 (pin.flags & kVstPinIsStereo) ? " stereo" : "");
  }
}
} // namespace

int InfoCommand::Run(const Options& options, FILE* out, FILE* err)
{
  CommandPlugin loaded;
  if (!loaded.Open(options, err) || !loaded.StartAndLoad(options.load, err)) return 1;
  HostedPlugin& plugin = loaded.Instance();
  const PluginLibrary& library = loaded.Library();
  const AEffect* fx = plugin.Effect();
  std::fprintf(out, "file: %s (entry point %s)\n", library.Path().c_str(), library.EntryName());
  std::fprintf(out, "name: %s\n", plugin.EffectName().c_str());
  std::fprintf(out, "vendor: %s\n", plugin.VendorString().c_str());
  std::fprintf(out, "product: %s\n", plugin.ProductString().c_str());
  std::fprintf(out, "version: %d (vendor version %ld)\n", fx->version,
               static_cast<long>(plugin.Dispatch(effGetVendorVersion)));
  std::fprintf(out, "unique id: 0x%08X '%s'\n", static_cast<unsigned>(fx->uniqueID),
               FourChars(fx->uniqueID).c_str());
  std::fprintf(out, "VST version: %ld\n", static_cast<long>(plugin.Dispatch(effGetVstVersion)));
  const VstIntPtr category = plugin.Dispatch(effGetPlugCategory);
  std::fprintf(out, "category: %ld (%s)\n", static_cast<long>(category), CategoryName(category));
  std::fprintf(out, "flags: 0x%X (%s)\n", static_cast<unsigned>(fx->flags), FlagNames(fx->flags).c_str());
  std::fprintf(out, "inputs: %d\noutputs: %d\nlatency: %d frames\n", fx->numInputs, fx->numOutputs,
               fx->initialDelay);
  PrintPins(plugin, out, effGetInputProperties, fx->numInputs, "input");
  PrintPins(plugin, out, effGetOutputProperties, fx->numOutputs, "output");
  if (plugin.HasFlag(effFlagsHasEditor))
  {
    ERect* rect = nullptr;
    if (plugin.Dispatch(effEditGetRect, 0, 0, &rect) && rect)
      std::fprintf(out, "editor: %d x %d\n", rect->right - rect->left, rect->bottom - rect->top);
    else
      std::fprintf(out, "editor: size not given before opening\n");
  }
  std::fprintf(out, "capabilities:");
  static const char* const kCanDo[] = {
      "sendVstEvents",      "sendVstMidiEvent", "receiveVstEvents", "receiveVstMidiEvent",
      "receiveVstTimeInfo", "offline",          "midiProgramNames", "bypass"};
  bool any = false;
  for (const char* what : kCanDo)
    if (plugin.CanDo(what))
    {
      std::fprintf(out, " %s", what);
      any = true;
    }
  std::fprintf(out, "%s\n", any ? "" : " (none answered)");
  if (plugin.HasChunks()) std::fprintf(out, "state chunk: %zu bytes\n", plugin.GetChunk().size());

  std::fprintf(out, "parameters: %d\n", fx->numParams);
  for (int i = 0; i < fx->numParams; ++i)
    std::fprintf(out, "  %3d %-24s %s %s (%.4f)\n", i, plugin.ParamName(i).c_str(),
                 plugin.ParamDisplay(i).c_str(), plugin.ParamLabel(i).c_str(), plugin.GetParameter(i));
  std::fprintf(out, "programs: %d\n", fx->numPrograms);
  const VstIntPtr current = plugin.Dispatch(effGetProgram);
  for (int i = 0; i < fx->numPrograms; ++i)
    std::fprintf(out, "  %3d %s%s\n", i, plugin.ProgramNameIndexed(i).c_str(),
                 i == current ? "  (current)" : "");
  return 0;
}
} // namespace khost
