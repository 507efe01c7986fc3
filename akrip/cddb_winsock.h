// The CDDB client's way to the network: HTTP/1.0 over Winsock with bounded
// waits, and text in the process's ANSI code page.
#pragma once

#include <memory>

#include "akrip/cddb_client.h"

namespace akrip {

std::unique_ptr<CddbTransport> MakeWinsockTransport();

// UTF-8 to the ANSI code page, and its double-byte lead bytes.
TextCodec AnsiCodec();

}  // namespace akrip
