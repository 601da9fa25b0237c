#include "X11EditorFixture.h"

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <mutex>

namespace x11_test
{
namespace fs = std::filesystem;

XvfbServer* X11ServerFixture::sServer = nullptr;
bool X11ServerFixture::sReady = false;
std::string X11ServerFixture::sReason;

void X11ServerFixture::SetUpTestSuite()
{
  if (sServer) return;
  sServer = new XvfbServer();
  sReady = sServer->Start(&sReason);
}

void X11ServerFixture::TearDownTestSuite()
{
  delete sServer;
  sServer = nullptr;
  sReady = false;
}

void X11ServerFixture::SetUp()
{
  if (!sReady)
  {
    if (!XvfbServer::Installed()) GTEST_SKIP() << sReason;
    FAIL() << sReason;
  }
  const char* path = std::getenv("PATH");
  mSavedPath = path ? path : "";
  mHost = std::make_unique<HostDisplay>();
  ASSERT_TRUE(mHost->Ok());
  mTop = mHost->CreateTopLevel(0, 0, mTopW, mTopH);
}

void X11ServerFixture::TearDown()
{
  mHost.reset();
  setenv("PATH", mSavedPath.c_str(), 1);
  if (!mTempDir.empty()) fs::remove_all(mTempDir);
}

void X11EditorFixture::SetUp()
{
  X11ServerFixture::SetUp();
  if (IsSkipped() || HasFatalFailure()) return;
  mPlug = std::make_unique<X11TestPlug>(true);
  mPlug->Dispatch(effOpen);
}

void X11EditorFixture::TearDown()
{
  if (mPlug)
  {
    mPlug->Dispatch(effEditClose);
    // effClose deletes the instance, as a host's last call does.
    mPlug.release()->Dispatch(effClose);
  }
  X11ServerFixture::TearDown();
}

bool X11EditorFixture::OpenEditor(unsigned long parent)
{
  void* window = reinterpret_cast<void*>(static_cast<uintptr_t>(parent ? parent : mTop));
  long paintsBefore = mPlug->Linux()->PaintCount();
  if (mPlug->Dispatch(effEditOpen, 0, 0, window) != 1) return false;
  return WaitFor([&] { return mPlug->Linux()->PaintCount() > paintsBefore; });
}

bool X11ServerFixture::PointerIn(unsigned long window, int x, int y, const std::vector<std::string>& actions)
{
  std::vector<std::string> argv = {"xdotool",         "mousemove",      "--window", std::to_string(window),
                                   std::to_string(x), std::to_string(y)};
  argv.insert(argv.end(), actions.begin(), actions.end());
  return RunTool(argv) == 0;
}

bool X11ServerFixture::Type(const std::string& text)
{
  return RunTool({"xdotool", "type", "--delay", "5", text}) == 0;
}

bool X11ServerFixture::Key(const std::string& keys)
{
  std::vector<std::string> argv = {"xdotool", "key", "--delay", "5"};
  size_t start = 0;
  while (start < keys.size())
  {
    size_t end = keys.find(' ', start);
    if (end == std::string::npos) end = keys.size();
    if (end > start) argv.push_back(keys.substr(start, end - start));
    start = end + 1;
  }
  return RunTool(argv) == 0;
}

uint32_t X11EditorFixture::ScreenPixel(int x, int y)
{
  std::vector<uint32_t> p = mHost->ReadPixels(EditorWindow(), x, y, 1, 1);
  return p.size() == 1 ? p[0] : 0xff000000u;
}

void X11EditorFixture::AutomateGain(float normalized)
{
  AEffect* effect = mPlug->GetAEffect();
  effect->setParameter(effect, kGain, normalized);
}

bool X11EditorFixture::TextEntryOpen()
{
  std::lock_guard<InstanceMutex> lock(mPlug->Mutex());
  return mPlug->Linux()->TextEntryOpen();
}

std::string X11ServerFixture::TempDir()
{
  if (mTempDir.empty())
  {
    const ::testing::TestInfo* info = ::testing::UnitTest::GetInstance()->current_test_info();
    fs::path dir = fs::temp_directory_path() / ("kestrune-x11-" + std::string(info->name()) + "-" +
                                                std::to_string(static_cast<long>(getpid())));
    fs::create_directories(dir);
    mTempDir = dir.string();
  }
  return mTempDir;
}

void X11ServerFixture::PrependPath(const std::string& folder, bool only)
{
  std::string path = only ? folder : folder + ":" + mSavedPath;
  setenv("PATH", path.c_str(), 1);
}

void X11ServerFixture::WriteScript(const std::string& path, const std::string& body)
{
  std::ofstream out(path);
  out << "#!/bin/sh\n" << body << "\n";
  out.close();
  fs::permissions(path, fs::perms::owner_all);
}
} // namespace x11_test
