// Interface of akrip.dll, the CD-access library: the records exchanged with it,
// byte for byte, and the functions it exports (plain names, C calling
// convention).  Shared by the library itself and by the program.
#pragma once

#include <cstddef>
#include <cstdint>

#ifdef AKRIP_BUILDING_DLL
#define AKRIP_API extern "C" __declspec(dllexport)
#elif defined(_WIN32)
#define AKRIP_API extern "C" __declspec(dllimport)
#else
#define AKRIP_API extern "C"
#endif

#ifdef _WIN32
#define AKRIP_CALL __cdecl
#else
#define AKRIP_CALL
#endif

namespace akrip {

constexpr int kMaxDrives = 8;
constexpr int kDriveIdTextSize = 65;
constexpr int kTocDescriptors = 100;
constexpr int kCddbMaxMatches = 20;
constexpr int kMaxSessions = 99;  // each session holds at least one track

// Library completion codes.
constexpr uint32_t kSuccess = 1;
constexpr uint32_t kFailure = 0;

// Last-error codes returned by GetAspiLibError.
enum LibError : int32_t {
  kErrNone = 0,
  kErrNoDrive = -1,      // unknown or closed handle
  kErrBadArgument = -2,  // null record, wrong size or version, count out of range
  kErrNoMemory = -3,
  kErrTransport = -4,       // the pass-through request itself failed
  kErrNotReady = -5,        // no disc, or the drive reports not ready
  kErrMediumError = -6,     // the drive reports a medium or hardware error
  kErrIllegalRequest = -7,  // the drive refused the command (e.g. address out of range)
  kErrImageIo = -8,         // a virtual drive's image file could not be read
  kErrNotSupported = -9,
  kErrTooManyDrives = -10,  // an image would make more than kMaxDrives drives
  kErrShortRead = -15,      // fewer sectors than asked were delivered
  kErrCddbNetwork = -20,    // the CDDB server or proxy could not be reached or dropped the line
  kErrCddbTimeout = -21,    // the CDDB exchange took too long
  kErrCddbReply = -22,      // the CDDB reply was refused: HTTP or CDDB error, malformed, too large
};

#pragma pack(push, 1)

struct DriveRecord {
  uint8_t host_adapter;
  uint8_t target;
  uint8_t lun;
  uint8_t reserved;
  char id[kDriveIdTextSize];  // identification text, NUL-terminated
  uint8_t inquiry[52];
};

struct DriveList {
  uint8_t capacity;  // caller sets 8
  uint8_t count;     // filled by the library
  DriveRecord drives[kMaxDrives];
};

struct OpenRequest {
  uint8_t size;     // 12
  uint8_t version;  // 1
  uint8_t host_adapter;
  uint8_t target;
  uint8_t lun;
  uint8_t read_type;           // 0: any
  uint32_t jitter_correction;  // 0: off
  uint8_t jitter_check;        // 2
  uint8_t overlap;             // 4
};

struct TocDescriptor {
  uint8_t reserved1;
  uint8_t adr_control;
  uint8_t track_number;
  uint8_t reserved2;
  uint8_t address_be[4];  // LBA, big-endian
};

struct Toc {
  uint8_t data_length_be[2];
  uint8_t first_track;
  uint8_t last_track;
  TocDescriptor descriptors[kTocDescriptors];
};

struct ReadBuffer {
  uint32_t start_lba;
  uint32_t sector_count;
  uint32_t capacity;     // bytes in data[]
  uint32_t valid_bytes;  // filled by the library
  uint32_t status;       // filled by the library
  uint32_t data_offset;  // filled by the library: where the valid bytes start
  uint8_t data[1];       // capacity bytes follow the header
};

struct CddbMatch {
  char category[12];
  char disc_id[12];
  int32_t exact;
  char artist[81];
  char title[81];
  uint8_t reserved[2];
};

// One session of a multi-session disc (an Enhanced CD has its audio in the
// first session and its data in the second).  Not part of the TOC record:
// READ TOC format 0 lists every track but only the last session's lead-out.
struct SessionEntry {
  uint8_t number;  // 1 to 99
  uint8_t first_track;
  uint8_t last_track;
  uint8_t reserved;
  uint32_t lead_out;  // LBA where this session's lead-out starts, little-endian
};

struct SessionList {
  uint8_t count;  // filled by the library, 1 or more
  uint8_t reserved[3];
  SessionEntry sessions[kMaxSessions];
};

#pragma pack(pop)

// The query request is not packed: a 32-bit capacity and a pointer.
struct CddbQueryRequest {
  int32_t capacity;  // in: room in matches; out: matches written
  CddbMatch* matches;
};

constexpr size_t kReadBufferHeaderBytes = offsetof(ReadBuffer, data);

static_assert(sizeof(DriveRecord) == 121, "drive record");
static_assert(offsetof(DriveRecord, id) == 4, "drive id text");
static_assert(offsetof(DriveRecord, inquiry) == 69, "drive inquiry tail");
static_assert(sizeof(DriveList) == 970, "drive list");
static_assert(offsetof(DriveList, drives) == 2, "drive records");
static_assert(sizeof(OpenRequest) == 12, "open request");
static_assert(offsetof(OpenRequest, jitter_correction) == 6, "jitter flag");
static_assert(offsetof(OpenRequest, jitter_check) == 10, "jitter check");
static_assert(offsetof(OpenRequest, overlap) == 11, "overlap");
static_assert(sizeof(TocDescriptor) == 8, "toc descriptor");
static_assert(sizeof(Toc) == 804, "table of contents");
static_assert(offsetof(Toc, descriptors) == 4, "toc descriptors");
static_assert(kReadBufferHeaderBytes == 24, "read buffer header");
static_assert(offsetof(ReadBuffer, valid_bytes) == 12, "valid byte count");
static_assert(offsetof(ReadBuffer, data_offset) == 20, "data offset");
static_assert(sizeof(SessionEntry) == 8, "session entry");
static_assert(offsetof(SessionEntry, lead_out) == 4, "session lead-out");
static_assert(sizeof(SessionList) == 4 + 8 * kMaxSessions, "session list");
static_assert(sizeof(CddbMatch) == 192, "cddb match");
static_assert(offsetof(CddbMatch, exact) == 24, "cddb exact flag");
static_assert(offsetof(CddbMatch, artist) == 28, "cddb artist");
static_assert(offsetof(CddbMatch, title) == 109, "cddb title");

// CDDB option numbers for CDDBSetOption.
enum CddbOption : int32_t {
  kCddbServer = 0,
  kCddbProxyHost = 1,
  kCddbUseProxy = 2,
  kCddbClientName = 3,
  kCddbUserEmail = 4,
  kCddbProxyPort = 5,
  kCddbCgiPath = 6,
  kCddbHttpPort = 7,
};

using Handle = uint32_t;  // opaque; 0 means none

}  // namespace akrip

AKRIP_API int32_t AKRIP_CALL GetCDList(akrip::DriveList* list);
AKRIP_API akrip::Handle AKRIP_CALL GetCDHandle(akrip::OpenRequest* request);
AKRIP_API int32_t AKRIP_CALL CloseCDHandle(akrip::Handle handle);
AKRIP_API uint32_t AKRIP_CALL ReadTOC(akrip::Handle handle, akrip::Toc* toc);
AKRIP_API uint32_t AKRIP_CALL ReadCDAudioLBAEx(akrip::Handle handle, akrip::ReadBuffer* buffer,
                                               akrip::ReadBuffer* previous);
AKRIP_API int32_t AKRIP_CALL GetAspiLibError(void);
AKRIP_API int32_t AKRIP_CALL CDDBSetOption(int32_t option, const char* text, int32_t number);
AKRIP_API int32_t AKRIP_CALL CDDBQuery(akrip::Handle handle, akrip::CddbQueryRequest* request);
AKRIP_API int32_t AKRIP_CALL CDDBGetDiskInfo(akrip::CddbMatch* match, char* text, int32_t size);

// Not used by the program: replaces the injected faults of this process (the
// syntax of AKRIP_FAULTS, see fault_plan.h; null or "" clears them).  Returns 1,
// or 0 with kErrBadArgument when the text is malformed (faults unchanged).
AKRIP_API int32_t AKRIP_CALL AkripSetFaults(const char* faults);

// Not among the program's required imports (it looks this one up by name, so
// a library without it still serves): the sessions of the disc in an open
// drive.  Returns 1 and fills the list, or 0 with the error of GetAspiLibError.
// A single-session disc gives one session ending at the TOC's lead-out.
AKRIP_API int32_t AKRIP_CALL AkripReadSessions(akrip::Handle handle, akrip::SessionList* sessions);

// Not among the program's required imports (looked up by name): fetches
// http://host:port/path through the proxy set with CDDBSetOption, as that is
// at the call, with the waits of a CDDB request.  Returns 1 when the server
// answered: *status is its HTTP status and, for 200, the body is in `buffer`
// (*size bytes).  Returns 0 with GetAspiLibError's code otherwise: no
// connection (kErrCddbNetwork), a wait passed (kErrCddbTimeout), a reply that
// is not HTTP, is shorter than its Content-Length or has a body larger than
// `capacity` (kErrCddbReply), a bad argument (kErrBadArgument).
AKRIP_API int32_t AKRIP_CALL AkripHttpGet(const char* host, int32_t port, const char* path, uint8_t* buffer,
                                          int32_t capacity, int32_t* size, int32_t* status);

// Not among the program's required imports (looked up by name): lists the disc
// image of a cue sheet as a drive until AkripCloseImage or the process ends,
// named "Image: " and the sheet's file name.
// Returns the drive's index in GetCDList's list (the same index again for a
// sheet already listed), or -1 with GetAspiLibError's code: kErrImageIo when
// the sheet or its files cannot be used, kErrTooManyDrives when kMaxDrives
// drives are listed.  `reason` (`size` bytes, may be null) receives why, with
// the sheet's line where there is one; names and reasons are in the ANSI code page.
AKRIP_API int32_t AKRIP_CALL AkripOpenImage(const char* cue_path, char* reason, int32_t size);

// Takes an image listed by AkripOpenImage off the list (the drives after it
// move up one); open handles on it keep working until closed.  Returns 1, or 0
// with kErrNoDrive (no such drive) or kErrNotSupported (not an opened image).
AKRIP_API int32_t AKRIP_CALL AkripCloseImage(int32_t index);

// The TITLE (field 0) or PERFORMER (field 1) line of an image drive's sheet,
// for the disc (track 0) or a track by its number, converted to the ANSI code
// page, cut to size - 1 bytes without splitting a character.  Returns 1 (an
// empty text when the sheet has none), or 0 with kErrNoDrive (not an image) or
// kErrBadArgument.
AKRIP_API int32_t AKRIP_CALL AkripImageText(int32_t index, int32_t track, int32_t field, char* text, int32_t size);
