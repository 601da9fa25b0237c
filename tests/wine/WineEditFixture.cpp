#include "WineEditFixture.h"

#include "samplefiles/WavTestFiles.h"

#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>

namespace winetest
{

WineSetup WineEdit::sSetup;
bool WineEdit::sReady = false;
std::string WineEdit::sReason;

void WineEdit::SetUpTestSuite()
{
  sReady = sSetup.Load(&sReason);
}

void WineEdit::SetUp()
{
  ASSERT_TRUE(sReady) << sReason;
  char pattern[] = "/tmp/kestrune-wine-XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  mDir = pattern;
}

void WineEdit::TearDown()
{
  if (mHost)
  {
    const int code = mHost->Quit();
    EXPECT_EQ(code, 0) << mHost->Output();
    mHost.reset();
  }
  if (!mDir.empty()) std::filesystem::remove_all(mDir);
}

EditHost* WineEdit::Start(const std::vector<std::string>& extraArgs)
{
  mHost = std::make_unique<EditHost>(sSetup, extraArgs);
  std::string why;
  EXPECT_TRUE(mHost->Ready(&why)) << why;
  return mHost->Ready(&why) ? mHost.get() : nullptr;
}

EditHost* WineEdit::StartWithPath(const std::string& folder)
{
  const std::string saved = std::getenv("PATH") ? std::getenv("PATH") : "";
  setenv("PATH", (folder + ":" + saved).c_str(), 1);
  EditHost* host = Start();
  setenv("PATH", saved.c_str(), 1);
  return host;
}

std::string WineEdit::Path(const std::string& name, const std::string& sub)
{
  const std::string folder = sub.empty() ? mDir : mDir + "/" + sub;
  std::filesystem::create_directories(folder);
  return folder + "/" + name;
}

void WineEdit::WriteWav(const std::string& path, double cyclesPerFrame)
{
  std::vector<int16_t> tone(4410);
  for (size_t i = 0; i < tone.size(); ++i)
  {
    const double fade = 1.0 - static_cast<double>(i) / tone.size();
    tone[i] = static_cast<int16_t>(20000.0 * fade * std::sin(2.0 * M_PI * cyclesPerFrame * i));
  }
  wavtest::WriteBytes(path, wavtest::MonoPcm16File(tone, 44100));
}

void WineEdit::WriteText(const std::string& path, const std::string& text)
{
  std::ofstream(path, std::ios::binary) << text;
}
} // namespace winetest
