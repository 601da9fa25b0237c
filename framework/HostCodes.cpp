#include "framework/HostCodes.h"

#include <string>

namespace
{
struct HostName
{
  const char* mSubstring;
  EHost mCode;
};

// The order matters: "cubase" is tested before "live", so a string holding both is Cubase.
constexpr HostName kHostNames[] = {
    {"brainwaveproducer", kHostBrainwaveProducer},
    {"cubase", kHostCubase},
    {"reaper", kHostReaper},
    {"nuendo", kHostNuendo},
    {"cakewalk", kHostSonar},
    {"samplitude", kHostSamplitude},
    {"fruity", kHostFL},
    {"live", kHostAbletonLive},
    {"melodyne", kHostMelodyne},
    {"vstmanlib", kHostVSTScanner},
    {"aulab", kHostAULab},
    {"forte", kHostForte},
    {"chainer", kHostChainer},
    {"audition", kHostAudition},
    {"orion", kHostOrion},
    {"sawstudio", kHostSAWStudio},
    {"logic", kHostLogic},
    {"digital", kHostDigitalPerformer},
    {"audiomulch", kHostAudioMulch},
    {"presonus", kHostStudioOne},
    {"acoustica", kHostMixcraft},
    {"garageband", kHostGarageBand},
    {"ardour", kHostArdour},
};
} // namespace

int LookUpHost(const char* productString)
{
  if (!productString) return kHostNone;
  std::string lower(productString);
  for (char& c : lower)
  {
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  }
  for (const HostName& host : kHostNames)
  {
    if (lower.find(host.mSubstring) != std::string::npos) return host.mCode;
  }
  return kHostNone;
}
