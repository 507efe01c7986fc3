#include "rip/encoder_pool.h"

#include <algorithm>
#include <utility>

#include "rip/rip_job.h"

int DefaultEncoderThreads() {
  SYSTEM_INFO info{};
  GetSystemInfo(&info);
  return std::clamp(int(info.dwNumberOfProcessors), 1, kMaxEncoderThreads);
}

EncoderPool::EncoderPool(int threads, Encode encode)
    : encode_(std::move(encode)), queue_(std::clamp(threads, 1, kMaxEncoderThreads)) {
  for (int i = 0; i < queue_.places(); ++i) {
    KernelHandle thread(CreateThread(nullptr, 0, Serve, this, 0, nullptr));
    // Fewer threads still encode every track; the places stay as many.
    if (!thread) break;
    threads_.push_back(std::move(thread));
  }
}

EncoderPool::~EncoderPool() { Finish(); }

void EncoderPool::Finish() {
  queue_.Close();
  for (const KernelHandle& thread : threads_) WaitForSingleObject(thread.get(), INFINITE);
  threads_.clear();
}

DWORD WINAPI EncoderPool::Serve(void* pool) {
  auto* self = static_cast<EncoderPool*>(pool);
  EncodeHandOver work;
  while (self->queue_.Next(&work)) {
    self->encode_(work);
    self->queue_.Finished();
  }
  return 0;
}
