#pragma once
// Puts the process's numeric locale on one whose decimal point is a comma, as hosts do in many
// countries, and back to "C" when the object goes. An installed locale serves when there is one;
// otherwise (a fresh machine generates none) the test builds one with the C library's localedef from
// its POSIX sources, changing only the decimal point, into a temporary folder found through LOCPATH.
// Active() is false where neither works (no locale tools, or Windows, whose C library this test does
// not drive): the caller skips and says why.

#include "samplefiles/WavTestFiles.h"

#include <clocale>
#include <cstdlib>
#include <fstream>
#include <string>

namespace testsupport
{
class CommaLocale
{
public:
  CommaLocale()
  {
#ifndef _WIN32
    for (const char* name : {"de_DE.UTF-8", "de_DE.utf8", "fr_FR.UTF-8", "fr_FR.utf8", "ru_RU.UTF-8"})
    {
      if (Use(name)) return;
    }
    if (mDir.Path().empty()) return;
    const std::string source = mDir.In("comma.def");
    std::ofstream def(source);
    def << "LC_NUMERIC\ndecimal_point \"<U002C>\"\nthousands_sep \"<U002E>\"\ngrouping 3;3\nEND LC_NUMERIC\n";
    for (const char* category : {"LC_CTYPE", "LC_COLLATE", "LC_MONETARY", "LC_TIME", "LC_MESSAGES"})
      def << category << "\ncopy \"POSIX\"\nEND " << category << "\n";
    def.close();
    // localedef warns about the categories left out and then exits with 1: the folder tells success.
    const std::string command =
        "localedef -i '" + source + "' -f ANSI_X3.4-1968 '" + mDir.In("xx_XX") + "' >/dev/null 2>&1";
    if (std::system(command.c_str()) == -1) return;
    setenv("LOCPATH", mDir.Path().c_str(), 1);
    mSetPath = true;
    Use("xx_XX");
#endif
  }
  ~CommaLocale()
  {
    std::setlocale(LC_NUMERIC, "C");
#ifndef _WIN32
    if (mSetPath) unsetenv("LOCPATH");
#endif
  }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

  bool Active() const
  {
    return mActive;
  }

private:
  bool Use(const char* name)
  {
    mActive = std::setlocale(LC_NUMERIC, name) != nullptr && std::localeconv()->decimal_point[0] == ',';
    if (!mActive) std::setlocale(LC_NUMERIC, "C");
    return mActive;
  }

  wavtest::TempDir mDir;
  bool mSetPath = false;
  bool mActive = false;
};

constexpr const char* kNoCommaLocale =
    "no locale with a decimal comma could be set: none is installed and localedef could not build one "
    "(the C library's locale sources are missing)";
} // namespace testsupport
