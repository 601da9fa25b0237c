#pragma once
// What the suites that run on both builds (Linux and the Windows program under Wine) need of the
// system: a fresh folder in the temporary folder, and setting or clearing an environment variable.

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>

// A new, empty folder in the system's temporary folder (its path spelt with the system's separators),
// removed with everything in it when the object goes. Empty when none could be made.
class ScratchFolder
{
public:
  explicit ScratchFolder(const char* prefix)
  {
    const auto base = std::filesystem::temp_directory_path(mError);
    if (mError) return;
    const auto seed =
        static_cast<unsigned long long>(std::chrono::steady_clock::now().time_since_epoch().count());
    for (unsigned long long i = 0; i < 100; ++i)
    {
      const auto candidate = base / (std::string(prefix) + std::to_string(seed + i));
      if (std::filesystem::create_directory(candidate, mError))
      {
        mPath = candidate.string();
        return;
      }
    }
  }
  ~ScratchFolder()
  {
    if (!mPath.empty()) std::filesystem::remove_all(mPath, mError);
  }
  ScratchFolder(const ScratchFolder&) = delete;
  ScratchFolder& operator=(const ScratchFolder&) = delete;

  const std::string& Path() const { return mPath; }

private:
  std::string mPath;
  std::error_code mError;
};

// Sets name to value in this process's environment; a null value removes it.
inline void SetTestEnvironment(const char* name, const char* value)
{
#ifdef _WIN32
  _putenv_s(name, value ? value : ""); // an empty value removes the variable
#else
  if (value)
    setenv(name, value, 1);
  else
    unsetenv(name);
#endif
}
