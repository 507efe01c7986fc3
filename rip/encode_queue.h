// The places of a job's intermediate WAVs between the reader and the encoder
// threads.  A WAV takes a place before it is handed over (the reader may take
// it before reading the track) and gives it back when its file is made (or
// given up), so no more than `places` WAVs wait or encode at once and the
// temporary folder stays bounded.
#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <mutex>
#include <string>

// One track read whole, on its way to an encoder thread.  Whoever holds it
// makes the track's file from the WAV or deletes the WAV.
struct EncodeHandOver {
  int track = -1;           // the job track it is
  std::string wav_path;     // the intermediate WAV
  std::string output_path;  // the track's name
};

class EncodeQueue {
 public:
  explicit EncodeQueue(int places);
  EncodeQueue(const EncodeQueue&) = delete;
  EncodeQueue& operator=(const EncodeQueue&) = delete;

  int places() const { return places_; }

  // Reader: waits for a free place and takes it.  `keep_waiting` is asked
  // every `poll_ms` while none is free; false when it says no.
  bool TakePlace(const std::function<bool()>& keep_waiting, int poll_ms);
  // Reader: gives back a place whose track was not handed over.
  void ReturnPlace();
  // Reader: hands a track over in the place it took.
  void HandOver(EncodeHandOver work);
  // Reader: no more hand-overs come; the encoder threads end once every one
  // handed over was taken.
  void Close();

  // Encoder thread: waits for the next hand-over; false once the queue is
  // closed and empty.
  bool Next(EncodeHandOver* work);
  // Encoder thread: the hand-over it took is dealt with, its place free.
  void Finished();

  // Tracks handed over whose encode has not finished.
  int Unfinished() const;
  // Waits until every track handed over is finished, telling `keep_waiting`
  // how many are left every `poll_ms` and whenever that changes; false when
  // it says no.
  bool WaitUntilFinished(const std::function<bool(int left)>& keep_waiting, int poll_ms);

 private:
  const int places_;
  mutable std::mutex lock_;
  std::condition_variable changed_;
  std::deque<EncodeHandOver> waiting_;
  int taken_ = 0;       // places held: reading, waiting or encoding
  int unfinished_ = 0;  // handed over and not finished
  bool closed_ = false;
};
