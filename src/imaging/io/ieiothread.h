// TIEIOThread: runs one TPixIO operation on a worker thread.
//
// An operation started in asynchronous mode creates a worker that calls the
// same operation again, returns at once and lets the worker run it. The
// worker lists itself in the component's AsyncThreads from construction
// to the end of its run, so the component can tell its own workers'
// second calls apart (they run synchronously) and can wait for them before
// it lets go of its picture. A worker frees itself when done.
#pragma once

#include <functional>
#include <mutex>
#include <thread>
#include <vector>

class TPixIO;
class TIEIOThread;

// The running workers of one component. Its lock guards membership only.
class TIEThreadList {
 public:
  void Add(TIEIOThread* thread);
  void Remove(TIEIOThread* thread);
  int Count();
  // True when the calling thread is one of the listed workers.
  bool ContainsCurrentThread();
  // Records the calling thread as the one running this worker.
  void RecordRunning(TIEIOThread* thread);

 private:
  std::mutex lock_;
  std::vector<TIEIOThread*> threads_;
};

// Which operation signature the worker repeats.
enum TIEIOMethodTypes {
  ieLoadSaveFile,
  ieLoadSaveStream,
  ieLoadSaveFileRetInt,
  ieRetBool,
  ieLoadSaveStreamRetInt,
  ieLoadSaveFileFormat,
  ieLoadSaveStreamFormat,
  ieCaptureFromScreen,
  ieLoadSaveIndex,
  ieImportMetaFile
};

class TIEIOThread {
 public:
  // The operation, bound to its copied arguments; results are discarded.
  using TIEIOCall = std::function<void()>;

  // Lists itself in threads and starts running call at once.
  TIEIOThread(TPixIO* owner, TIEThreadList& threads, TIEIOMethodTypes kind, TIEIOCall call);
  TIEIOThread(const TIEIOThread&) = delete;
  TIEIOThread& operator=(const TIEIOThread&) = delete;
  virtual ~TIEIOThread() = default;

  TIEIOMethodTypes Kind() const { return kind_; }
  // The thread running this worker; default until Execute starts.
  std::thread::id ThreadId() const { return threadId_; }

 protected:
  // Runs the operation; an exception from it sets the owner's Aborting.
  virtual void Execute();

 private:
  friend class TIEThreadList;
  // The thread body: Execute, leave the list, free the worker.
  void Run();

  TIEThreadList& threads_;
  TIEIOMethodTypes kind_;
  TIEIOCall call_;
  std::thread::id threadId_;  // written and read under the list's lock
  TPixIO* owner_;
};
