#pragma once
// Fixture of the tests that go through the built module: a recording host and one instance created
// through the exported entry point.

#include "plugin/TestHost.h"

#include <gtest/gtest.h>

namespace plugintest
{

class ModuleTest : public ::testing::Test
{
protected:
  void SetUp() override
  {
    ASSERT_TRUE(PluginModule::Get().Loaded()) << PluginModule::Get().Error();
    ASSERT_NE(PluginModule::Get().mVSTPluginMain, nullptr);
    mPlug = std::make_unique<PluginInstance>();
    ASSERT_NE(mPlug->Effect(), nullptr);
  }

  void TearDown() override { mPlug.reset(); }

  AEffect* Fx() const { return mPlug->Effect(); }

  TestHost mHost;
  std::unique_ptr<PluginInstance> mPlug;
};
} // namespace plugintest
