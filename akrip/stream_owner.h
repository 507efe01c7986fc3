// The CD-access library's owner for C streams; it stands apart from the
// program's owners so that the library depends on nothing of the program.
#pragma once

#include <cstdio>
#include <memory>

namespace akrip {

struct StreamCloser {
  void operator()(std::FILE* file) const { std::fclose(file); }
};

// An open stream that is only read: nothing is lost when its close fails.
using ReadStream = std::unique_ptr<std::FILE, StreamCloser>;

}  // namespace akrip
