#include "engine/SampleLoader.h"

SampleLoader::~SampleLoader()
{
  Stop();
}

void SampleLoader::Stop()
{
  {
    std::lock_guard<std::mutex> lock(mMutex);
    mStop = true;
    mJobs.clear();
  }
  mWake.notify_all();
  if (mThread.joinable()) mThread.join();
}

void SampleLoader::Request(LoadJob job)
{
  {
    std::lock_guard<std::mutex> lock(mMutex);
    if (mStop) return;
    mJobs.push_back(std::move(job));
    if (!mThread.joinable()) mThread = std::thread(&SampleLoader::Run, this);
  }
  mWake.notify_one();
}

void SampleLoader::WaitUntilIdle()
{
  std::unique_lock<std::mutex> lock(mMutex);
  mIdle.wait(lock, [this] { return (mJobs.empty() && !mBusy) || mStop; });
}

void SampleLoader::Run()
{
  std::unique_lock<std::mutex> lock(mMutex);
  for (;;)
  {
    mWake.wait(lock, [this] { return mStop || !mJobs.empty(); });
    if (mStop) break;
    LoadJob job = std::move(mJobs.front());
    mJobs.pop_front();
    mBusy = true;
    lock.unlock();
    try
    {
      mRunner(job);
    }
    catch (...)
    {
      // A job that ran out of memory leaves the slot as its last locked step left it.
    }
    lock.lock();
    mBusy = false;
    if (mJobs.empty()) mIdle.notify_all();
  }
  mIdle.notify_all();
}
