#pragma once
// Host codes: which host application loaded the plug-in, found from the host's product string.

enum EHost
{
  kHostUnknown = -1, // not yet asked
  kHostNone = 0,     // no known host
  kHostReaper = 1,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostSonar = 5,
  kHostFL = 7,
  kHostSamplitude = 8,
  kHostAbletonLive = 9,
  kHostMelodyne = 12,
  kHostVSTScanner = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostBias = 19, // no product string yields it
  kHostSAWStudio = 20,
  kHostLogic = 21,
  kHostDigitalPerformer = 22,
  kHostAudioMulch = 23,
  kHostStudioOne = 24,
  kHostMixcraft = 25,
  kHostGarageBand = 26,
  kHostArdour = 27,
  kHostBrainwaveProducer = 28
};

// Host code of a product string: the string, lower-cased, is searched for known substrings in a fixed
// order and the first hit wins; kHostNone for no hit, an empty or a null string.
int LookUpHost(const char* productString);
