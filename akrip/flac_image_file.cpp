// A FLAC file read like raw sectors: libFLAC seeks to the frame that holds a
// request's first sample and decodes onwards from there, so reading one track
// decodes only that track.
#include <FLAC/stream_decoder.h>

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <vector>

#include "akrip/image_file.h"
#include "akrip/stream_owner.h"

namespace akrip {
namespace {

constexpr uint64_t kBytesPerFrame = 4;

// Deleting finishes the decoder; the MD5 check that finishing makes means
// nothing for a partly decoded stream.
struct DecoderDeleter {
  void operator()(FLAC__StreamDecoder* decoder) const { FLAC__stream_decoder_delete(decoder); }
};
using DecoderOwner = std::unique_ptr<FLAC__StreamDecoder, DecoderDeleter>;

bool SeekStream(std::FILE* file, uint64_t offset) {
#ifdef _WIN32
  return _fseeki64(file, static_cast<__int64>(offset), SEEK_SET) == 0;
#else
  return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

int64_t TellStream(std::FILE* file) {
#ifdef _WIN32
  return _ftelli64(file);
#else
  return ftello(file);
#endif
}

class FlacImageFile : public ImageFile {
 public:
  static std::unique_ptr<FlacImageFile> Open(const std::string& path) {
    std::unique_ptr<FlacImageFile> file(new FlacImageFile());
    if (!ImageFileBytes(path, &file->stream_bytes_)) return nullptr;
    file->stream_.reset(std::fopen(path.c_str(), "rb"));
    if (!file->stream_) return nullptr;
    file->decoder_.reset(FLAC__stream_decoder_new());
    if (!file->decoder_) return nullptr;
    // The stream is ours, not libFLAC's: its own file callbacks trust the C
    // library's seek to clear the end-of-file mark, and where the seek leaves
    // it set, every seek after a read to the end finds the stream ended.
    if (FLAC__stream_decoder_init_stream(file->decoder_.get(), &ReadBytes, &SeekBytes, &TellBytes, &LengthBytes, &AtEnd,
                                         &Write, nullptr, &Error, file.get()) != FLAC__STREAM_DECODER_INIT_STATUS_OK) {
      return nullptr;
    }
    if (!FLAC__stream_decoder_process_until_end_of_metadata(file->decoder_.get())) return nullptr;
    return file;
  }

  bool Read(uint64_t offset, uint8_t* out, size_t bytes) override {
    uint64_t sample = offset / kBytesPerFrame;
    uint64_t wanted = bytes / kBytesPerFrame;
    while (wanted > 0) {
      const uint64_t held = pcm_.size() / kBytesPerFrame;
      if (sample >= first_sample_ && sample < first_sample_ + held) {
        const uint64_t from = sample - first_sample_;
        const uint64_t take = std::min(wanted, held - from);
        std::memcpy(out, pcm_.data() + from * kBytesPerFrame, static_cast<size_t>(take * kBytesPerFrame));
        out += take * kBytesPerFrame;
        sample += take;
        wanted -= take;
        continue;
      }
      if (!(held > 0 && sample == first_sample_ + held) && !Seek(sample)) return false;
      if (sample >= first_sample_ && sample < first_sample_ + pcm_.size() / kBytesPerFrame) continue;
      // The next frame follows on: decode it.
      const uint64_t before = first_sample_ + pcm_.size() / kBytesPerFrame;
      if (!FLAC__stream_decoder_process_single(decoder_.get()) || failed_) return false;
      if (first_sample_ + pcm_.size() / kBytesPerFrame == before) return false;  // the stream ended early
    }
    return true;
  }

 private:
  FlacImageFile() = default;

  bool Seek(uint64_t sample) {
    pcm_.clear();
    failed_ = false;
    if (FLAC__stream_decoder_seek_absolute(decoder_.get(), sample) && !failed_) return true;
    // A failed seek leaves the decoder unusable until flushed; starting the
    // stream again and seeking from its beginning then gets there.
    if (FLAC__stream_decoder_get_state(decoder_.get()) == FLAC__STREAM_DECODER_SEEK_ERROR) {
      FLAC__stream_decoder_flush(decoder_.get());
    }
    pcm_.clear();
    failed_ = false;
    if (!FLAC__stream_decoder_reset(decoder_.get()) ||
        !FLAC__stream_decoder_process_until_end_of_metadata(decoder_.get())) {
      return false;
    }
    return FLAC__stream_decoder_seek_absolute(decoder_.get(), sample) && !failed_;
  }

  static FLAC__StreamDecoderWriteStatus Write(const FLAC__StreamDecoder*, const FLAC__Frame* frame,
                                              const FLAC__int32* const buffer[], void* client) {
    auto* self = static_cast<FlacImageFile*>(client);
    // A frame of another format inside a CD-audio stream is damage, not audio.
    if (frame->header.channels != 2 || frame->header.bits_per_sample != 16 ||
        frame->header.number_type != FLAC__FRAME_NUMBER_TYPE_SAMPLE_NUMBER) {
      self->failed_ = true;
      return FLAC__STREAM_DECODER_WRITE_STATUS_ABORT;
    }
    const uint32_t count = frame->header.blocksize;
    self->first_sample_ = frame->header.number.sample_number;
    self->pcm_.resize(static_cast<size_t>(count) * kBytesPerFrame);
    uint8_t* out = self->pcm_.data();
    for (uint32_t i = 0; i < count; ++i) {
      for (int channel = 0; channel < 2; ++channel) {
        const auto value = static_cast<uint16_t>(static_cast<int16_t>(buffer[channel][i]));
        *out++ = static_cast<uint8_t>(value);
        *out++ = static_cast<uint8_t>(value >> 8);
      }
    }
    return FLAC__STREAM_DECODER_WRITE_STATUS_CONTINUE;
  }

  static FLAC__StreamDecoderReadStatus ReadBytes(const FLAC__StreamDecoder*, FLAC__byte buffer[], size_t* bytes,
                                                 void* client) {
    std::FILE* stream = static_cast<FlacImageFile*>(client)->stream_.get();
    if (*bytes == 0) return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
    *bytes = std::fread(buffer, 1, *bytes, stream);
    if (std::ferror(stream)) return FLAC__STREAM_DECODER_READ_STATUS_ABORT;
    return *bytes == 0 ? FLAC__STREAM_DECODER_READ_STATUS_END_OF_STREAM : FLAC__STREAM_DECODER_READ_STATUS_CONTINUE;
  }

  static FLAC__StreamDecoderSeekStatus SeekBytes(const FLAC__StreamDecoder*, FLAC__uint64 offset, void* client) {
    std::FILE* stream = static_cast<FlacImageFile*>(client)->stream_.get();
    if (!SeekStream(stream, offset)) return FLAC__STREAM_DECODER_SEEK_STATUS_ERROR;
    std::clearerr(stream);
    return FLAC__STREAM_DECODER_SEEK_STATUS_OK;
  }

  static FLAC__StreamDecoderTellStatus TellBytes(const FLAC__StreamDecoder*, FLAC__uint64* offset, void* client) {
    const int64_t at = TellStream(static_cast<FlacImageFile*>(client)->stream_.get());
    if (at < 0) return FLAC__STREAM_DECODER_TELL_STATUS_ERROR;
    *offset = static_cast<FLAC__uint64>(at);
    return FLAC__STREAM_DECODER_TELL_STATUS_OK;
  }

  static FLAC__StreamDecoderLengthStatus LengthBytes(const FLAC__StreamDecoder*, FLAC__uint64* length, void* client) {
    *length = static_cast<FlacImageFile*>(client)->stream_bytes_;
    return FLAC__STREAM_DECODER_LENGTH_STATUS_OK;
  }

  static FLAC__bool AtEnd(const FLAC__StreamDecoder*, void* client) {
    return std::feof(static_cast<FlacImageFile*>(client)->stream_.get()) != 0;
  }

  static void Error(const FLAC__StreamDecoder*, FLAC__StreamDecoderErrorStatus, void* client) {
    static_cast<FlacImageFile*>(client)->failed_ = true;
  }

  ReadStream stream_;  // outlives the decoder, which reads it until deleted
  uint64_t stream_bytes_ = 0;
  DecoderOwner decoder_;
  std::vector<uint8_t> pcm_;  // the last decoded frame, as 16-bit little-endian stereo
  uint64_t first_sample_ = 0;
  bool failed_ = false;
};

}  // namespace

std::unique_ptr<ImageFile> OpenFlacImageFile(const std::string& path) { return FlacImageFile::Open(path); }

}  // namespace akrip
