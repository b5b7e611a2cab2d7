// Internal to the library: work cut into pieces that may be prepared on a
// second thread but must be taken up in order on the calling one.
//
// Built with KX29_ONE_THREAD (a browser page without shared memory, where no
// thread can be started), the helper is never asked for and the thread
// library is not used at all.
#pragma once

#include <cstddef>
#ifndef KX29_ONE_THREAD
#include <condition_variable>
#include <exception>
#include <mutex>
#include <system_error>
#include <thread>
#include <vector>
#endif

// Runs prepare(slot, i) for every piece i in [0, count), and use(slot, i) for
// each piece in ascending order on the calling thread, until a use gives
// false: no piece after that one is used. With a helper, a
// second thread prepares pieces ahead of the caller, so the two share the
// preparing however their speeds differ. A piece lives in slot
// i % slots from its preparing to the end of its use, and at most `slots`
// pieces are under way at once, so a slot's buffers serve piece after piece.
// The caller, while the next piece it needs is not ready, prepares pieces
// further on instead of waiting.
// An exception in either thread ends the helper and reaches the caller.
template <class Prepare, class Use>
void PrepareAheadInOrder(size_t count, size_t slots, bool helper, Prepare prepare, Use use) {
#ifdef KX29_ONE_THREAD
  helper = false;
#endif
  if (!helper || count < 2 || slots < 2) {
    for (size_t i = 0; i < count; ++i) {
      prepare(size_t{0}, i);
      if (!use(size_t{0}, i)) return;
    }
    return;
  }
#ifndef KX29_ONE_THREAD
  std::mutex m;
  std::condition_variable cv;
  size_t next = 0;  // the first piece nobody has taken
  size_t used = 0;  // pieces used so far
  bool stop = false;
  std::vector<size_t> prepared(slots, count);  // per slot: the piece ready in it
  std::vector<std::exception_ptr> failed(slots);

  std::thread worker;
  try {
    worker = std::thread([&] {
      std::unique_lock lock(m);
      for (;;) {
        // A piece's slot is free once the piece `slots` before it is used.
        cv.wait(lock, [&] { return stop || next >= count || next < used + slots; });
        if (stop || next >= count) return;
        const size_t i = next++;
        lock.unlock();
        std::exception_ptr error;
        try {
          prepare(i % slots, i);
        } catch (...) {
          error = std::current_exception();
        }
        lock.lock();
        failed[i % slots] = error;
        prepared[i % slots] = i;
        cv.notify_all();
        if (error) return;
      }
    });
  } catch (const std::system_error&) {
    // No second thread to be had: this one does all the work.
    PrepareAheadInOrder(count, slots, false, prepare, use);
    return;
  }
  struct Join {
    std::mutex& m;
    std::condition_variable& cv;
    bool& stop;
    std::thread& t;
    ~Join() {
      {
        std::lock_guard lock(m);
        stop = true;
      }
      cv.notify_all();
      t.join();
    }
  } join{m, cv, stop, worker};

  for (size_t i = 0; i < count; ++i) {
    const size_t slot = i % slots;
    std::unique_lock lock(m);
    // Until piece i is ready, prepare what is free to prepare rather than wait.
    while (prepared[slot] != i) {
      if (next < count && next < used + slots) {
        const size_t j = next++;
        lock.unlock();
        prepare(j % slots, j);
        lock.lock();
        prepared[j % slots] = j;
      } else {
        cv.wait(lock);
      }
    }
    if (failed[slot]) std::rethrow_exception(failed[slot]);
    lock.unlock();
    if (!use(slot, i)) return;
    lock.lock();
    ++used;
    lock.unlock();
    cv.notify_all();
  }
#endif
}
