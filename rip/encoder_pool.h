// The threads a rip job encodes on beside its reading: each takes the next
// track handed over through the queue and makes its file.
#pragma once

#include <windows.h>

#include <functional>
#include <vector>

#include "common/win_owners.h"
#include "rip/encode_queue.h"

// One encoder thread per processor, within 1 to kMaxEncoderThreads.
int DefaultEncoderThreads();

class EncoderPool {
 public:
  // Called on an encoder thread for every hand-over, also after a stop (it
  // then only deletes the WAV): no hand-over is dropped.
  using Encode = std::function<void(EncodeHandOver& work)>;

  // Starts up to `threads` threads with as many places in the queue.
  EncoderPool(int threads, Encode encode);
  ~EncoderPool();
  EncoderPool(const EncoderPool&) = delete;
  EncoderPool& operator=(const EncoderPool&) = delete;

  // False when no thread could be started: the caller encodes itself.
  bool started() const { return !threads_.empty(); }
  EncodeQueue& queue() { return queue_; }

  // Closes the queue and waits until every thread has ended.
  void Finish();

 private:
  static DWORD WINAPI Serve(void* pool);

  Encode encode_;
  EncodeQueue queue_;
  std::vector<KernelHandle> threads_;
};
