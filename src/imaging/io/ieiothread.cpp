// TIEIOThread and the thread list of TPixIO's asynchronous mode.
#include "imaging/io/ieiothread.h"

#include <algorithm>

#include "imaging/io/pixio.h"

void TIEThreadList::Add(TIEIOThread* thread) {
  std::lock_guard<std::mutex> guard(lock_);
  threads_.push_back(thread);
}

void TIEThreadList::Remove(TIEIOThread* thread) {
  std::lock_guard<std::mutex> guard(lock_);
  threads_.erase(std::remove(threads_.begin(), threads_.end(), thread), threads_.end());
}

int TIEThreadList::Count() {
  std::lock_guard<std::mutex> guard(lock_);
  return static_cast<int>(threads_.size());
}

bool TIEThreadList::ContainsCurrentThread() {
  const std::thread::id self = std::this_thread::get_id();
  std::lock_guard<std::mutex> guard(lock_);
  return std::any_of(threads_.begin(), threads_.end(),
                     [&](const TIEIOThread* t) { return t->threadId_ == self; });
}

void TIEThreadList::RecordRunning(TIEIOThread* thread) {
  std::lock_guard<std::mutex> guard(lock_);
  thread->threadId_ = std::this_thread::get_id();
}

TIEIOThread::TIEIOThread(TPixIO* owner, TIEThreadList& threads, TIEIOMethodTypes kind,
                         TIEIOCall call)
    : threads_(threads), kind_(kind), call_(std::move(call)), owner_(owner) {
  // Listed before it runs, so the caller sees it counted on return.
  threads_.Add(this);
  std::thread(&TIEIOThread::Run, this).detach();
}

void TIEIOThread::Execute() {
  threads_.RecordRunning(this);
  try {
    call_();
  } catch (...) {
    // Nobody is there to catch it: the caller learns of it by Aborting.
    owner_->Aborting = true;
  }
}

void TIEIOThread::Run() {
  Execute();
  // Drop the operation's copies while the owner is sure to exist.
  call_ = nullptr;
  // From here on the owner may be destroyed: touch nothing of it.
  threads_.Remove(this);
  delete this;
}
