#include "akrip/real_drives.h"

#include <cstring>
#include <memory>
#include <string>

#include "akrip/spti_transport.h"

namespace akrip {
namespace {

constexpr int kDriveLetters = 26;

class SptiDrive : public Drive {
 public:
  SptiDrive(std::unique_ptr<SptiTransport> transport, ScsiDrive::Sleeper sleeper)
      : transport_(std::move(transport)), scsi_(transport_.get(), std::move(sleeper)) {}
  LibError ReadToc(Toc* toc) override { return scsi_.ReadToc(toc); }
  LibError ReadAudio(uint32_t lba, uint32_t count, uint8_t* out, uint32_t* delivered) override {
    return scsi_.ReadAudio(lba, count, out, delivered);
  }
  LibError ReadSessions(SessionList* sessions) override { return scsi_.ReadSessions(sessions); }

 private:
  std::unique_ptr<SptiTransport> transport_;
  ScsiDrive scsi_;
};

}  // namespace

std::vector<DriveEntry> ScanRealDrives(const DeviceApi& api, size_t room) {
  std::vector<DriveEntry> drives;
  const DWORD letters = api.logical_drives();
  for (int i = 0; i < kDriveLetters && drives.size() < room; ++i) {
    if (!(letters & (1u << i))) continue;
    const char letter = static_cast<char>('A' + i);
    const char root[] = {letter, ':', '\\', '\0'};
    if (api.drive_type(root) != DRIVE_CDROM) continue;
    DriveEntry entry;
    std::string name = "CD drive";
    LibError error = kErrNone;
    if (std::unique_ptr<SptiTransport> transport = SptiTransport::Open(letter, api, &error)) {
      uint8_t answer[kInquiryBytes] = {};
      ScsiOutcome outcome = transport->Execute(InquiryCommand(sizeof answer), answer, sizeof answer);
      if (ErrorFromOutcome(outcome) == kErrNone && outcome.bytes_transferred > 8) {
        std::string text = InquiryText(answer, outcome.bytes_transferred);
        if (!text.empty()) name = text;
        std::memcpy(entry.inquiry.data(), answer, entry.inquiry.size());
      }
    }
    entry.id = DriveIdText(std::string(1, letter) + ": " + name);
    entry.open = [letter, api](LibError* open_error) -> std::unique_ptr<Drive> {
      std::unique_ptr<SptiTransport> transport = SptiTransport::Open(letter, api, open_error);
      if (!transport) return nullptr;
      return std::unique_ptr<Drive>(new SptiDrive(std::move(transport), api.sleep));
    };
    drives.push_back(std::move(entry));
  }
  return drives;
}

}  // namespace akrip
