// Asynchronous mode of the I/O front end: which calls go to a worker, what
// the worker does with results and failures, and that the component waits
// for its workers before it lets go of the picture. Workers are held by
// gates the test opens, so nothing here depends on timing.
#include "imaging/io/ieiothread.h"

#include <gtest/gtest.h>

#include <atomic>
#include <condition_variable>
#include <filesystem>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

#include "imaging/core/iebitmap.h"
#include "imaging/io/giflzw.h"
#include "imaging/io/ielzwhooks.h"
#include "imaging/io/pixio.h"
#include "pictures.h"
#include "support/testenv.h"

using namespace cwtest;

namespace {

const char* const kBmp = "bmp-24bit-97x61.bmp";
const char* const kGif = "gif-256colour-97x61.gif";

// A one-shot latch: Wait blocks until Open.
class TGate {
 public:
  void Open() {
    std::lock_guard<std::mutex> guard(lock_);
    open_ = true;
    changed_.notify_all();
  }
  void Wait() {
    std::unique_lock<std::mutex> guard(lock_);
    changed_.wait(guard, [&] { return open_; });
  }

 private:
  std::mutex lock_;
  std::condition_variable changed_;
  bool open_ = false;
};

// A memory stream whose first read tells that it was reached and then
// waits until the test lets it go on.
class TGatedStream : public TMemoryStream {
 public:
  int64_t Read(void* buffer, int64_t count) override {
    if (!started_) {
      started_ = true;
      reached.Open();
      release.Wait();
    }
    return TMemoryStream::Read(buffer, count);
  }
  TGate reached;
  TGate release;

 private:
  bool started_ = false;  // only the worker reads
};

void WaitUntilIdle(TPixIO& io) {
  while (io.GetAsyncRunning() > 0) std::this_thread::yield();
}

// A component in asynchronous mode loading into the test's own picture;
// OnFinishWork notes where and how often it ran.
struct AsyncIO : ::testing::Test {
  AsyncIO() {
    io.SetAttachedIEBitmap(&picture);
    io.AsyncMode = true;
    io.OnFinishWork = [this](TObject*) {
      finishThread = std::this_thread::get_id();
      insideWorker = io.IsInsideAsyncThreads();
      ++finished;
    };
  }
  TIEBitmap picture;
  TPixIO io{nullptr};
  std::thread::id finishThread;
  bool insideWorker = false;
  std::atomic<int> finished{0};
};

TEST(AsyncIOOwnPicture, RunsSynchronouslyOnTheCallersThread) {
  TPixIO io(nullptr);
  io.AsyncMode = true;
  std::thread::id finishThread;
  io.OnFinishWork = [&](TObject*) { finishThread = std::this_thread::get_id(); };
  io.LoadFromFile(PicturePath(kBmp));
  EXPECT_EQ(finishThread, std::this_thread::get_id());
  EXPECT_EQ(io.IEBitmap->Width, 97);
  EXPECT_EQ(io.GetAsyncRunning(), 0);
  EXPECT_FALSE(io.IsInsideAsyncThreads());
}

TEST_F(AsyncIO, FileLoadsReturnAtOnceAndLoadOnAWorker) {
  const TGIFLZWDecompFunc hook = DefGIF_LZWDECOMPFUNC;
  DefGIF_LZWDECOMPFUNC = GIFLZWDecompress;
  std::unique_ptr<TGate> release;
  io.OnFinishWork = [&](TObject*) {
    finishThread = std::this_thread::get_id();
    insideWorker = io.IsInsideAsyncThreads();
    ++finished;
    release->Wait();  // holds the worker listed until the test has looked
  };
  struct Case {
    const char* picture;
    bool countingForm;  // the GIF wrapper, which returns -1 when handed over
  };
  for (const Case& c : {Case{kBmp, false}, Case{kGif, false}, Case{kGif, true}}) {
    SCOPED_TRACE(std::string(c.picture) + (c.countingForm ? " (LoadFromFileGif)" : ""));
    picture.Allocate(3, 3, ie24RGB);
    release = std::make_unique<TGate>();  // no worker is waiting on the old one
    finished = 0;
    if (c.countingForm)
      EXPECT_EQ(io.LoadFromFileGif(PicturePath(c.picture)), -1);
    else
      io.LoadFromFile(PicturePath(c.picture));
    EXPECT_EQ(io.GetAsyncRunning(), 1);
    release->Open();
    WaitUntilIdle(io);
    EXPECT_EQ(finished, 1);
    EXPECT_NE(finishThread, std::this_thread::get_id());
    EXPECT_TRUE(insideWorker);
    EXPECT_FALSE(io.Aborting);
    EXPECT_EQ(picture.Width, 97);
    EXPECT_EQ(picture.Height, 61);
    EXPECT_EQ(io.IOParams->FileName, PicturePath(c.picture));
  }
  DefGIF_LZWDECOMPFUNC = hook;
}

TEST_F(AsyncIO, StreamLoadLeavesThePictureAloneUntilTheWorkerReads) {
  TGatedStream stream;
  const std::vector<uint8_t> bytes = ReadBytes(PicturePath(kBmp));
  stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
  stream.SetPosition(0);
  picture.Allocate(3, 3, ie24RGB);

  io.LoadFromStreamBMP(&stream);
  stream.reached.Wait();
  EXPECT_EQ(io.GetAsyncRunning(), 1);
  EXPECT_EQ(finished, 0);
  EXPECT_EQ(picture.Width, 3);
  stream.release.Open();
  WaitUntilIdle(io);
  EXPECT_EQ(finished, 1);
  EXPECT_EQ(picture.Width, 97);
  EXPECT_EQ(io.IOParams->FileType, ieftBMP);
}

TEST_F(AsyncIO, SaveRunsOnAWorkerAndWritesTheFile) {
  TempDir dir;
  const std::string target = dir.file("saved.bmp");
  picture.Allocate(5, 4, ie24RGB);
  io.SaveToFile(target);
  WaitUntilIdle(io);
  EXPECT_EQ(finished, 1);
  EXPECT_NE(finishThread, std::this_thread::get_id());
  EXPECT_FALSE(io.Aborting);

  TPixIO check(nullptr);
  check.LoadFromFile(target);
  EXPECT_FALSE(check.Aborting);
  EXPECT_EQ(check.IEBitmap->Width, 5);
  EXPECT_EQ(check.IEBitmap->Height, 4);
}

TEST_F(AsyncIO, AWorkerThatRaisesSetsAbortingAndLeavesTheList) {
  TempDir dir;
  picture.Allocate(3, 3, ie24RGB);
  io.LoadFromFile(dir.file("missing.bmp"));
  WaitUntilIdle(io);
  EXPECT_TRUE(io.Aborting);
  EXPECT_EQ(finished, 1);  // the operation still tells that it ended
  EXPECT_EQ(picture.Width, 3);
}

// Destroying the component or attaching another picture while a worker
// loads must wait for the worker: it writes into the picture and the
// parameters until it ends.
TEST(AsyncIOLifetime, DestroyingOrReattachingWaitsForTheWorker) {
  for (const bool destroy : {true, false}) {
    SCOPED_TRACE(destroy ? "destroy" : "reattach");
    TIEBitmap picture;
    TIEBitmap other;
    auto* io = new TPixIO(nullptr);
    io->SetAttachedIEBitmap(&picture);
    io->AsyncMode = true;
    std::atomic<bool> finished{false};
    io->OnFinishWork = [&](TObject*) { finished = true; };
    TGatedStream stream;
    const std::vector<uint8_t> bytes = ReadBytes(PicturePath(kBmp));
    stream.WriteBuffer(bytes.data(), static_cast<int64_t>(bytes.size()));
    stream.SetPosition(0);

    io->LoadFromStreamBMP(&stream);
    stream.reached.Wait();
    std::atomic<bool> done{false};
    std::thread actor([&] {
      if (destroy)
        delete io;
      else
        io->SetAttachedIEBitmap(&other);
      done = true;
    });
    // Whenever the actor got this far, it cannot be past its wait.
    EXPECT_FALSE(done);
    stream.release.Open();
    actor.join();
    EXPECT_TRUE(finished);
    EXPECT_EQ(picture.Width, 97);
    if (!destroy) {
      EXPECT_EQ(io->IEBitmap, &other);
      EXPECT_EQ(io->GetAsyncRunning(), 0);
      delete io;
    }
  }
}

}  // namespace
