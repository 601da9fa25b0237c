#pragma once
// SampleLoader: the instance's loading thread for what the editor asks for. A click, a drop or a
// previous, next or close button only records a job here (cheap, from any thread, with or without the
// instance mutex); the thread runs the jobs one after another, in order, with no instance mutex held
// while it reads, decodes and frees, and takes the mutex only for the short step that publishes.
//
// The thread starts with the first job and ends when the loader is destroyed; jobs not yet started
// then are dropped. Destroy it without holding the instance mutex: a running job may be waiting for it.

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>
#include <thread>

struct LoadJob
{
  enum class Kind
  {
    kPath,     // load `path` into the slot (a file chosen in the dialog or dropped)
    kPrevious, // load the file listed before the slot's current one, if there is one when the job runs
    kNext,     // the file listed after it
    kClear     // empty the slot (the close button)
  };
  Kind kind = Kind::kPath;
  int slot = 0;
  std::string path;
};

class SampleLoader
{
public:
  using Runner = std::function<void(const LoadJob&)>;

  explicit SampleLoader(Runner runner) : mRunner(std::move(runner)) {}
  ~SampleLoader();
  SampleLoader(const SampleLoader&) = delete;
  SampleLoader& operator=(const SampleLoader&) = delete;

  // Drops the jobs not yet started, waits for the running one and ends the thread; later requests are
  // ignored. Not from the loader's thread.
  void Stop();
  // Any thread: queues a job; never waits for a job to run.
  void Request(LoadJob job);
  // Waits until every job queued so far has run (tests and tools). Never from the loader's thread, nor
  // with the instance mutex held.
  void WaitUntilIdle();
  // True on the loader's own thread.
  bool OnLoaderThread() const { return std::this_thread::get_id() == mThread.get_id(); }

private:
  void Run();

  Runner mRunner;
  std::mutex mMutex;
  std::condition_variable mWake; // a job arrived, or stop
  std::condition_variable mIdle; // the queue ran empty
  std::deque<LoadJob> mJobs;
  bool mBusy = false;
  bool mStop = false;
  std::thread mThread;
};
