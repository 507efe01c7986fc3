// The CDDB lookup: on a thread of its own, asks the server (through akrip.dll)
// for the current drive's disc, reads the record of the best match and tells
// a window with WM_USER 1000.  Only one lookup runs at a time.
#pragma once

#include <windows.h>

#include <cstdint>

#include "cd/cddb_disc_info.h"

constexpr WPARAM kCddbLookupEnded = 1000;

// Built-in server and what the lookup tells it about itself.
constexpr char kCddbServerName[] = "gnudb.gnudb.org";
constexpr int32_t kCddbServerPort = 80;
constexpr char kCddbCgiPath[] = "/~cddb/cddb.cgi";
constexpr char kCddbClientName[] = "audiocd v1.0";
constexpr char kCddbUserEmail[] = "lookup@corvale.invalid";

struct CddbLookup {
  HWND window;                 // receives WM_USER 1000
  int32_t found;               // 1 when a match's record was read
  char title[kCddbTextSize];   // the match's own title (at most 81 characters)
  char artist[kCddbTextSize];  // and artist
  CddbDiscInfo disc;
  CddbDiscExtras extras;        // the record's year and genre
  char disc_id[kCddbTextSize];  // the match's disc id, 8 hex digits
};

// Starts a lookup that reports to `window`.  The running marker is set before
// the thread starts and cleared again when it cannot start.  The proxy host and
// port are copied now, so later changes do not reach this lookup.  Returns 1
// when the thread started, 0 when a lookup runs or the thread cannot start.
int StartCddbLookup(HWND window);

// 1 while the lookup thread runs.
// Gives the CD-access library the proxy the lookups use, for another request
// of ours made before the CDDB lookup sets it (the library copies the options
// at each request's start).
void ApplyCddbProxyOptions();

int IsCddbLookupRunning();

// After WM_USER 1000: copies the ended lookup's record into `result` and
// returns 1; 0 while a lookup runs or when none has ended since the last take.
int TakeCddbLookupResult(CddbLookup* result);

// Option 1 sets the proxy host (null or empty: no proxy); option 2 the port.
// Other option numbers are ignored.  Called on the interface thread only.
void SetCddbProxyHost(int option, const char* host);
void SetCddbProxyPort(int option, int32_t port);

// The port a lookup talks to the proxy on: the stored one when it is a real
// port (1 to 65535), else the HTTP port.  A stored port is whatever the user
// typed, and a mistyped one must not cost the lookup its proxy.
int32_t CddbProxyPortInUse(int32_t stored_port);
