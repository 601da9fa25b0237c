#include "tools/kestrune-host/Validator.h"

#include "tools/kestrune-host/ChildRunner.h"
#include "tools/kestrune-host/HostTunables.h"
#include "tools/kestrune-host/ValidationChecks.h"

#include <charconv>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <filesystem>
#include <random>
#include <sndfile.h>
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

namespace
{
// The name under which the child only opens the module.
constexpr const char* kLoadOnly = "(load)";

// The loading options as command-line arguments, for the child to read back.
std::vector<std::string> LoadArguments(const LoadOptions& load)
{
  std::vector<std::string> args;
  auto add = [&args](const char* option, std::string value)
  {
    args.emplace_back(option);
    args.push_back(std::move(value));
  };
  if (!load.stateIn.empty()) add("--state", load.stateIn);
  if (load.program >= 0) add("--program", std::to_string(load.program));
  if (!load.sfz.empty()) add("--sfz", load.sfz);
  for (const auto& [slot, file] : load.slots)
    add("--slot", std::to_string(slot) + "=" + file);
  for (const auto& [index, value] : load.params)
  {
    char text[64];
    const auto written = std::to_chars(text, text + sizeof(text), value);
    add("--param", std::to_string(index) + "=" + std::string(text, written.ptr));
  }
  for (const auto& [index, typed] : load.paramTexts)
    add("--param-text", std::to_string(index) + "=" + typed);
  return args;
}

// A new folder of our own in the system's temporary folder; empty when none could be made.
std::filesystem::path NewTempFolder()
{
  std::error_code error;
  const std::filesystem::path temp = std::filesystem::temp_directory_path(error);
  if (error) return {};
  std::random_device seed;
  std::mt19937_64 random((uint64_t(seed()) << 32) ^ seed() ^
                         uint64_t(std::chrono::steady_clock::now().time_since_epoch().count()));
  for (int attempt = 0; attempt < 100; ++attempt)
  {
    char name[64];
    std::snprintf(name, sizeof(name), "kestrune-validate-%016llx", static_cast<unsigned long long>(random()));
    const std::filesystem::path folder = temp / name;
    if (std::filesystem::create_directory(folder, error)) return folder;
  }
  return {};
}
} // namespace

CheckResult Validator::RunCheck(const std::vector<std::string>& args)
{
  if (args.size() < 2) return CheckResult::Failed("the check's process got no check to run");
  std::vector<std::string> words = {"kestrune-host"};
  words.insert(words.end(), args.begin() + 2, args.end());
  std::vector<char*> argv;
  for (std::string& word : words)
    argv.push_back(word.data());
  Options options;
  std::string error;
  if (!CommandLine::Parse(static_cast<int>(argv.size()), argv.data(), &options, &error))
    return CheckResult::Failed("the check's process could not read its arguments: " + error);
  CheckEnv env(options.plugin, options.load, args[1]);
  if (!env.Open(&error)) return CheckResult::Failed(error);
  if (args[0] == kLoadOnly) return CheckResult::Passed("");
  for (const auto& check : ValidationChecks::All())
    if (args[0] == check.name) return check.fn(env);
  return CheckResult::Failed("no check named " + args[0]);
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
  const std::filesystem::path folder = NewTempFolder();
  std::string samplePath;
  if (!folder.empty())
  {
    std::string error;
    samplePath = (folder / "validate-sine.wav").string();
    if (!WriteTestSample(samplePath, &error)) samplePath.clear();
  }

  // What each child is told: the check, the sample, and the module with its loading options.
  auto childArgs = [&](const char* check)
  {
    std::vector<std::string> args = {check, samplePath, "validate", options.plugin};
    const std::vector<std::string> load = LoadArguments(options.load);
    args.insert(args.end(), load.begin(), load.end());
    return args;
  };
  const int timeoutSeconds =
      options.checkTimeoutSeconds > 0 ? options.checkTimeoutSeconds : kCheckTimeoutSeconds;
  // The module must load at all before its checks mean anything.
  const CheckResult loads =
      ChildRunner::Run(&Validator::RunCheck, childArgs(kLoadOnly), timeoutSeconds, !options.verbose);

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
      result =
          ChildRunner::Run(&Validator::RunCheck, childArgs(check.name), timeoutSeconds, !options.verbose);
    const char* word = result.outcome == CheckResult::kPassed    ? "passed"
                       : result.outcome == CheckResult::kSkipped ? "skipped"
                                                                 : "failed";
    std::fprintf(out, "%-7s %-22s %s\n", word, check.name, result.reason.c_str());
    std::fflush(out);
    (result.outcome == CheckResult::kPassed    ? passed
     : result.outcome == CheckResult::kSkipped ? skipped
                                               : failed)++;
  }
  if (!folder.empty())
  {
    std::error_code ignored;
    std::filesystem::remove_all(folder, ignored);
  }
  if (skipped > 0)
    std::fprintf(out, "%d passed, %d failed, %d skipped\n", passed, failed, skipped);
  else
    std::fprintf(out, "%d passed, %d failed\n", passed, failed);
  return failed > 0 ? 1 : 0;
}
} // namespace khost
