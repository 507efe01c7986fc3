// akrip.dll as the program meets it: loaded by name, the nine functions found
// by their plain names, a disc image listed as a drive and read back exactly.
#include <windows.h>

#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "akrip/akrip.h"
#include "akrip/cdda.h"
#include "support/disc_image.h"
#include "support/temp_dir.h"

namespace {

using testing_support::TempDir;

struct Akrip {
  HMODULE module = nullptr;
  decltype(&::GetCDList) get_cd_list = nullptr;
  decltype(&::GetCDHandle) get_cd_handle = nullptr;
  decltype(&::CloseCDHandle) close_cd_handle = nullptr;
  decltype(&::ReadTOC) read_toc = nullptr;
  decltype(&::ReadCDAudioLBAEx) read_audio = nullptr;
  decltype(&::GetAspiLibError) last_error = nullptr;
  decltype(&::CDDBSetOption) cddb_set_option = nullptr;
  decltype(&::CDDBQuery) cddb_query = nullptr;
  decltype(&::CDDBGetDiskInfo) cddb_get_disk_info = nullptr;
  decltype(&::AkripSetFaults) set_faults = nullptr;
  decltype(&::AkripOpenImage) open_image = nullptr;
  decltype(&::AkripCloseImage) close_image = nullptr;
  decltype(&::AkripImageText) image_text = nullptr;

  template <typename F>
  void Find(F* slot, const char* name) {
    *slot = reinterpret_cast<F>(reinterpret_cast<void*>(GetProcAddress(module, name)));
    EXPECT_NE(*slot, nullptr) << name;
  }

  Akrip() {
    module = LoadLibraryA("akrip.dll");
    if (!module) return;
    Find(&get_cd_list, "GetCDList");
    Find(&get_cd_handle, "GetCDHandle");
    Find(&close_cd_handle, "CloseCDHandle");
    Find(&read_toc, "ReadTOC");
    Find(&read_audio, "ReadCDAudioLBAEx");
    Find(&last_error, "GetAspiLibError");
    Find(&cddb_set_option, "CDDBSetOption");
    Find(&cddb_query, "CDDBQuery");
    Find(&cddb_get_disk_info, "CDDBGetDiskInfo");
    Find(&set_faults, "AkripSetFaults");
    Find(&open_image, "AkripOpenImage");
    Find(&close_image, "AkripCloseImage");
    Find(&image_text, "AkripImageText");
  }
  ~Akrip() {
    if (module) FreeLibrary(module);
  }
};

struct ReadBlock {
  std::vector<uint8_t> storage = std::vector<uint8_t>(akrip::kReadBufferHeaderBytes + cdda::kReadBlockBytes);
  akrip::ReadBuffer* get() { return reinterpret_cast<akrip::ReadBuffer*>(storage.data()); }
  void Ask(uint32_t lba, uint32_t count) {
    std::memset(storage.data(), 0, akrip::kReadBufferHeaderBytes);
    get()->start_lba = lba;
    get()->sector_count = count;
    get()->capacity = cdda::kReadBlockBytes;
  }
};

uint32_t Be32(const uint8_t* b) { return uint32_t(b[0]) << 24 | uint32_t(b[1]) << 16 | uint32_t(b[2]) << 8 | b[3]; }

class HeldOutClient : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_NE(dll_.module, nullptr) << "akrip.dll not found beside the test";
    ASSERT_NE(dll_.set_faults, nullptr);
    testing_support::WriteWholeFile(dir_.File("broken.cue"), "FILE \"x.bin\" BINARY\nTRACK 01 AUDIO\n");
    disc_ = testing_support::WriteTestDisc(dir_.path(), "held out disc", {{40}, {101}, {27}, {30, true}});
    const std::string images = dir_.File("missing.cue") + ";" + dir_.File("broken.cue") + "; " + disc_.cue_path;
    ASSERT_TRUE(SetEnvironmentVariableA("AKRIP_IMAGES", images.c_str()));
    SetEnvironmentVariableA("AKRIP_FAULTS", nullptr);
    dll_.set_faults(nullptr);
  }

  void TearDown() override {
    if (handle_) dll_.close_cd_handle(handle_);
    SetEnvironmentVariableA("AKRIP_IMAGES", nullptr);
    SetEnvironmentVariableA("AKRIP_FAULTS", nullptr);
    if (dll_.set_faults) dll_.set_faults(nullptr);
  }

  // Lists the drives and opens the test disc's; the drive's index in *index.
  void OpenTestDisc(int* index = nullptr) {
    akrip::DriveList list;
    std::memset(&list, 0, sizeof list);
    list.capacity = 8;
    ASSERT_EQ(dll_.get_cd_list(&list), 1);
    int found = -1;
    for (int i = 0; i < list.count; ++i) {
      if (std::string(list.drives[i].id) == "Virtual CD: held out disc.cue") found = i;
    }
    ASSERT_GE(found, 0) << "the image is listed; the missing and broken ones are skipped";
    for (int i = 0; i < list.count; ++i) {
      EXPECT_EQ(std::string(list.drives[i].id).find("broken"), std::string::npos);
    }
    if (index) *index = found;
    akrip::OpenRequest request{
        12, 1, list.drives[found].host_adapter, list.drives[found].target, list.drives[found].lun, 0, 0, 2, 4};
    handle_ = dll_.get_cd_handle(&request);
    ASSERT_NE(handle_, 0u);
  }

  Akrip dll_;
  TempDir dir_;
  testing_support::TestDisc disc_;
  akrip::Handle handle_ = 0;
};

TEST_F(HeldOutClient, ReadsTheTocAndEveryAudioSectorExactly) {
  ASSERT_NO_FATAL_FAILURE(OpenTestDisc());
  akrip::Toc toc;
  std::memset(&toc, 0, sizeof toc);
  ASSERT_EQ(dll_.read_toc(handle_, &toc), 1u);
  EXPECT_EQ(toc.first_track, 1);
  ASSERT_EQ(toc.last_track, 4);
  EXPECT_EQ(toc.data_length_be[1], 2 + 5 * 8);
  for (int t = 0; t < 4; ++t) EXPECT_EQ(Be32(toc.descriptors[t].address_be), uint32_t(disc_.starts[t]));
  EXPECT_EQ(toc.descriptors[3].adr_control & cdda::kControlDataTrack, cdda::kControlDataTrack);
  EXPECT_EQ(toc.descriptors[4].track_number, cdda::kLeadOutTrackNumber);
  EXPECT_EQ(Be32(toc.descriptors[4].address_be), 198u);

  const uint32_t audio_end = uint32_t(disc_.starts[3]);
  std::vector<unsigned char> all;
  ReadBlock block, previous;
  for (uint32_t lba = 0; lba < audio_end;) {
    const uint32_t count = std::min<uint32_t>(27, audio_end - lba);
    block.Ask(lba, count);
    ASSERT_EQ(dll_.read_audio(handle_, block.get(), previous.get()), 1u) << lba;
    ASSERT_EQ(block.get()->valid_bytes, count * cdda::kSectorBytes);
    const uint8_t* data = block.get()->data + block.get()->data_offset;
    all.insert(all.end(), data, data + block.get()->valid_bytes);
    lba += count;
    std::swap(block, previous);
  }
  EXPECT_TRUE(all == testing_support::ExpectedSectors(0, int32_t(audio_end)));

  block.Ask(audio_end - 1, 2);
  EXPECT_EQ(dll_.read_audio(handle_, block.get(), previous.get()), 0u) << "a data sector through the audio read";
  EXPECT_EQ(dll_.last_error(), akrip::kErrIllegalRequest);
  block.Ask(197, 2);
  EXPECT_EQ(dll_.read_audio(handle_, block.get(), previous.get()), 0u);
  EXPECT_EQ(dll_.last_error(), akrip::kErrIllegalRequest);
}

TEST_F(HeldOutClient, FaultsFromTheEnvironmentAndFromTheProcess) {
  ASSERT_TRUE(SetEnvironmentVariableA("AKRIP_FAULTS", "toc-fail=2"));
  ASSERT_NO_FATAL_FAILURE(OpenTestDisc());  // the variable is read by GetCDList
  akrip::Toc toc;
  EXPECT_EQ(dll_.read_toc(handle_, &toc), 0u);
  EXPECT_EQ(dll_.last_error(), akrip::kErrNotReady);
  EXPECT_EQ(dll_.read_toc(handle_, &toc), 0u);
  EXPECT_EQ(dll_.read_toc(handle_, &toc), 1u);

  ASSERT_EQ(dll_.set_faults("read-fail=30-35:-15; read-fail=60-61:-6; short-read=100"), 1);
  ReadBlock block, previous;
  block.Ask(27, 27);
  EXPECT_EQ(dll_.read_audio(handle_, block.get(), previous.get()), 0u);
  EXPECT_EQ(dll_.last_error(), akrip::kErrShortRead);
  ASSERT_EQ(block.get()->valid_bytes, 3u * cdda::kSectorBytes);
  EXPECT_EQ(0, std::memcmp(block.get()->data + block.get()->data_offset, testing_support::ExpectedSectors(27, 3).data(),
                           block.get()->valid_bytes));
  block.Ask(54, 27);
  EXPECT_EQ(dll_.read_audio(handle_, block.get(), previous.get()), 0u);
  EXPECT_EQ(dll_.last_error(), akrip::kErrMediumError);
  block.Ask(81, 27);
  EXPECT_EQ(dll_.read_audio(handle_, block.get(), previous.get()), 1u);
  EXPECT_EQ(block.get()->valid_bytes, 19u * cdda::kSectorBytes);

  EXPECT_EQ(dll_.set_faults("read-fail=oops"), 0);
  EXPECT_EQ(dll_.last_error(), akrip::kErrBadArgument);
  block.Ask(54, 27);
  EXPECT_EQ(dll_.read_audio(handle_, block.get(), previous.get()), 0u) << "a malformed text changes nothing";
  ASSERT_EQ(dll_.set_faults(""), 1);
  EXPECT_EQ(dll_.read_audio(handle_, block.get(), previous.get()), 1u);
}

DWORD WINAPI ListDrives(void* parameter) {
  Akrip* dll = static_cast<Akrip*>(parameter);
  akrip::DriveList list;
  std::memset(&list, 0, sizeof list);
  list.capacity = 8;
  return DWORD(dll->get_cd_list(&list));
}

TEST_F(HeldOutClient, AnotherThreadsCallLeavesTheReadersErrorAlone) {
  ASSERT_NO_FATAL_FAILURE(OpenTestDisc());
  ASSERT_EQ(dll_.set_faults("read-fail=0-5:-6"), 1);
  ReadBlock block;
  block.Ask(0, 27);
  ASSERT_EQ(dll_.read_audio(handle_, block.get(), nullptr), 0u);
  HANDLE other = CreateThread(nullptr, 0, ListDrives, &dll_, 0, nullptr);
  ASSERT_NE(other, nullptr);
  WaitForSingleObject(other, INFINITE);
  DWORD listed = 0;
  GetExitCodeThread(other, &listed);
  CloseHandle(other);
  EXPECT_EQ(listed, 1u);
  EXPECT_EQ(dll_.last_error(), akrip::kErrMediumError);
}

TEST_F(HeldOutClient, BadArgumentsFailWithAMeaningfulError) {
  EXPECT_EQ(dll_.get_cd_list(nullptr), 0);
  EXPECT_EQ(dll_.last_error(), akrip::kErrBadArgument);
  int index = 0;
  ASSERT_NO_FATAL_FAILURE(OpenTestDisc(&index));

  akrip::OpenRequest request{11, 1, uint8_t(index), 0, 0, 0, 0, 2, 4};
  EXPECT_EQ(dll_.get_cd_handle(&request), 0u);
  EXPECT_EQ(dll_.last_error(), akrip::kErrBadArgument);
  EXPECT_EQ(dll_.get_cd_handle(nullptr), 0u);
  EXPECT_EQ(dll_.last_error(), akrip::kErrBadArgument);

  ReadBlock block;
  for (uint32_t count : {0u, 28u}) {
    block.Ask(0, count);
    EXPECT_EQ(dll_.read_audio(handle_, block.get(), nullptr), 0u);
    EXPECT_EQ(dll_.last_error(), akrip::kErrBadArgument);
  }
  EXPECT_EQ(dll_.read_audio(handle_, nullptr, nullptr), 0u);
  EXPECT_EQ(dll_.read_toc(handle_, nullptr), 0u);
  EXPECT_EQ(dll_.last_error(), akrip::kErrBadArgument);

  block.Ask(0, 1);
  EXPECT_EQ(dll_.read_audio(0, block.get(), nullptr), 0u);
  EXPECT_EQ(dll_.last_error(), akrip::kErrNoDrive);
  dll_.close_cd_handle(handle_);
  const akrip::Handle closed = handle_;
  handle_ = 0;
  EXPECT_EQ(dll_.read_audio(closed, block.get(), nullptr), 0u);
  EXPECT_EQ(dll_.last_error(), akrip::kErrNoDrive);
  akrip::Toc toc;
  EXPECT_EQ(dll_.read_toc(closed, &toc), 0u);

  // A closed handle has no disc to ask the server about.
  std::vector<akrip::CddbMatch> matches(20);
  akrip::CddbQueryRequest query{20, matches.data()};
  EXPECT_EQ(dll_.cddb_query(closed, &query), 0);
  EXPECT_EQ(dll_.last_error(), akrip::kErrNoDrive);
}

// An image opened at run time: its slot, the environment's image found by
// its path, the sheet's UTF-8 texts in the ANSI code page, a refusal's reason.
TEST_F(HeldOutClient, ImagesOpenAtRunTimeWithTheirTexts) {
  ASSERT_NE(dll_.open_image, nullptr);
  int listed = -1;
  ASSERT_NO_FATAL_FAILURE(OpenTestDisc(&listed));
  EXPECT_EQ(dll_.open_image(disc_.cue_path.c_str(), nullptr, 0), listed);

  const testing_support::TestDisc other = testing_support::WriteTestDisc(dir_.path(), "other", {{75}, {75}});
  testing_support::WriteWholeFile(other.cue_path,
                                  "\xEF\xBB\xBFTITLE \"Caf\xC3\xA9 Noir\"\nFILE other.bin BINARY\nTRACK 01 AUDIO\n"
                                  "PERFORMER \"\xC3\x89mile\"\nINDEX 01 00:00:00\nTRACK 02 AUDIO\nINDEX 01 00:01:00\n");
  char reason[64] = "x";
  const int32_t slot = dll_.open_image(other.cue_path.c_str(), reason, sizeof reason);
  EXPECT_EQ(slot, listed + 1);
  EXPECT_STREQ(reason, "");
  akrip::DriveList list;
  std::memset(&list, 0, sizeof list);
  list.capacity = 8;
  ASSERT_EQ(dll_.get_cd_list(&list), 1);
  ASSERT_GT(list.count, slot);
  EXPECT_STREQ(list.drives[slot].id, "Image: other.cue");

  char text[16];
  ASSERT_EQ(dll_.image_text(slot, 0, 0, text, sizeof text), 1);
  const bool western = GetACP() == 1252;
  if (western) {
    EXPECT_STREQ(text, "Caf\xE9 Noir");
  }
  ASSERT_EQ(dll_.image_text(slot, 1, 1, text, 4), 1);
  if (western) {
    EXPECT_STREQ(text, "\xC9mi");
  }
  ASSERT_EQ(dll_.image_text(slot, 2, 0, text, sizeof text), 1);
  EXPECT_STREQ(text, "");
  EXPECT_EQ(dll_.image_text(listed, 0, 0, text, sizeof text), 1) << "the environment's image has a sheet too";
  EXPECT_EQ(dll_.image_text(slot, 3, 0, text, sizeof text), 0);
  EXPECT_EQ(dll_.last_error(), akrip::kErrBadArgument);

  // The environment's image is not ours to close; the opened one is.
  EXPECT_EQ(dll_.close_image(listed), 0);
  EXPECT_EQ(dll_.close_image(slot), 1);
  EXPECT_EQ(dll_.image_text(slot, 0, 0, text, sizeof text), 0);

  char short_reason[12];
  EXPECT_EQ(dll_.open_image(dir_.File("broken.cue").c_str(), short_reason, sizeof short_reason), -1);
  EXPECT_EQ(dll_.last_error(), akrip::kErrImageIo);
  EXPECT_EQ(std::strlen(short_reason), sizeof short_reason - 1);
  EXPECT_EQ(dll_.open_image("", reason, sizeof reason), -1);
  EXPECT_EQ(dll_.last_error(), akrip::kErrBadArgument);
}

#ifdef AKRIP_DEMO_CUE
// The demo disc the build makes: four audio tracks, one with a pregap, and a
// data track; every audio sector is the BIN's bytes at the same place.
TEST_F(HeldOutClient, DemoDiscReadsAsItsBinFile) {
  ASSERT_TRUE(SetEnvironmentVariableA("AKRIP_IMAGES", AKRIP_DEMO_CUE));
  akrip::DriveList list;
  std::memset(&list, 0, sizeof list);
  list.capacity = 8;
  ASSERT_EQ(dll_.get_cd_list(&list), 1);
  ASSERT_GE(list.count, 1);
  const akrip::DriveRecord& drive = list.drives[list.count - 1];
  EXPECT_STREQ(drive.id, "Virtual CD: corvale-demo.cue");
  akrip::OpenRequest request{12, 1, drive.host_adapter, 0, 0, 0, 0, 2, 4};
  handle_ = dll_.get_cd_handle(&request);
  ASSERT_NE(handle_, 0u);
  akrip::Toc toc;
  ASSERT_EQ(dll_.read_toc(handle_, &toc), 1u);
  ASSERT_EQ(toc.last_track, 5);
  for (int t = 0; t < 4; ++t) EXPECT_EQ(toc.descriptors[t].adr_control & cdda::kControlDataTrack, 0) << t;
  EXPECT_EQ(toc.descriptors[4].adr_control & cdda::kControlDataTrack, cdda::kControlDataTrack);

  std::string bin = AKRIP_DEMO_CUE;
  bin.replace(bin.size() - 4, 4, ".bin");
  const std::vector<unsigned char> image = testing_support::ReadWholeFile(bin);
  const uint32_t audio_end = Be32(toc.descriptors[4].address_be);
  ASSERT_GE(image.size(), size_t(audio_end) * cdda::kSectorBytes);
  ReadBlock block;
  for (uint32_t lba = 0; lba < audio_end; lba += 27) {
    const uint32_t count = std::min<uint32_t>(27, audio_end - lba);
    block.Ask(lba, count);
    ASSERT_EQ(dll_.read_audio(handle_, block.get(), nullptr), 1u) << lba;
    ASSERT_EQ(
        0, std::memcmp(block.get()->data, image.data() + size_t(lba) * cdda::kSectorBytes, count * cdda::kSectorBytes))
        << lba;
  }
}
#endif

}  // namespace
