#include "tools/kestrune-host/Validator.h"

#include "tools/kestrune-host/ChildRunner.h"
#include "tools/kestrune-host/HostTunables.h"
#include "tools/kestrune-host/ValidationChecks.h"

#include <cmath>
#include <cstdlib>
#include <sndfile.h>
#include <unistd.h>
#include <vector>

namespace khost
{

bool Validator::WriteTestSample(const std::string& path, std::string* error)
{
  constexpr int kRateHz = 48000;
  constexpr int kFrames = kRateHz / 2;
  std::vector<float> samples(kFrames);
  for (int i = 0; i < kFrames; ++i)
  {
    const double t = double(i) / kRateHz;
    samples[i] = static_cast<float>(0.5 * std::sin(2.0 * M_PI * 440.0 * t) * std::exp(-3.0 * t));
  }
  SF_INFO info = {};
  info.samplerate = kRateHz;
  info.channels = 1;
  info.format = SF_FORMAT_WAV | SF_FORMAT_PCM_16;
  SNDFILE* file = sf_open(path.c_str(), SFM_WRITE, &info);
  if (!file) return *error = "cannot write " + path, false;
  const sf_count_t written = sf_writef_float(file, samples.data(), kFrames);
  sf_close(file);
  if (written != kFrames) return *error = "short write to " + path, false;
  return true;
}

int Validator::Run(const Options& options, FILE* out, FILE* err)
{
  const auto& all = ValidationChecks::All();
  for (const std::string& name : options.checks)
  {
    bool known = false;
    for (const auto& c : all)
      known = known || name == c.name;
    if (!known)
    {
      std::fprintf(err, "unknown check %s; the checks are:", name.c_str());
      for (const auto& c : all)
        std::fprintf(err, " %s", c.name);
      std::fputc('\n', err);
      return 2;
    }
  }
  // The test sample lives in a folder of its own for the whole run.
  char folder[] = "/tmp/kestrune-validate-XXXXXX";
  std::string samplePath;
  if (mkdtemp(folder))
  {
    std::string error;
    samplePath = std::string(folder) + "/validate-sine.wav";
    if (!WriteTestSample(samplePath, &error)) samplePath.clear();
  }

  // The module must load at all before its checks mean anything.
  CheckEnv env(options.plugin, options.load, samplePath);
  const CheckResult loads = ChildRunner::Run(
      [&env]()
      {
        std::string error;
        if (!env.Open(&error)) return CheckResult::Failed(error);
        return CheckResult::Passed("");
      },
      kCheckTimeoutSeconds, !options.verbose);

  std::fprintf(out, "validating %s\n", options.plugin.c_str());
  int passed = 0, failed = 0, skipped = 0;
  for (const auto& check : all)
  {
    if (!options.checks.empty())
    {
      bool wanted = false;
      for (const std::string& name : options.checks)
        wanted = wanted || name == check.name;
      if (!wanted) continue;
    }
    CheckResult result;
    if (loads.outcome != CheckResult::kPassed)
      result = CheckResult::Failed("the module does not load: " + loads.reason);
    else
      result = ChildRunner::Run(
          [&env, &check]()
          {
            std::string error;
            if (!env.Open(&error)) return CheckResult::Failed(error);
            return check.fn(env);
          },
          kCheckTimeoutSeconds, !options.verbose);
    const char* word = result.outcome == CheckResult::kPassed    ? "passed"
                       : result.outcome == CheckResult::kSkipped ? "skipped"
                                                                 : "failed";
    std::fprintf(out, "%-7s %-22s %s\n", word, check.name, result.reason.c_str());
    std::fflush(out);
    (result.outcome == CheckResult::kPassed    ? passed
     : result.outcome == CheckResult::kSkipped ? skipped
                                               : failed)++;
  }
  if (!samplePath.empty())
  {
    unlink(samplePath.c_str());
    rmdir(folder);
  }
  if (skipped > 0)
    std::fprintf(out, "%d passed, %d failed, %d skipped\n", passed, failed, skipped);
  else
    std::fprintf(out, "%d passed, %d failed\n", passed, failed);
  return failed > 0 ? 1 : 0;
}
} // namespace khost
