// A stand-in for the user's MP3 encoder program, for the tests of the
// encoder launch and watch.  It records how it was called, checks that its
// input exists while it runs, and writes its output; options make it wait,
// fail or write nothing.
//
//   test_encoder [--log FILE] [--hold FILE] [--wait-ms N] [--exit N]
//                [--no-output] [--empty] [--mpeg] [--fail-for TEXT]
//                [--remove-folder] INPUT OUTPUT
//
// --log appends "start|ARG|ARG..." when it starts and "end" or the reason it
// gave up ("no-input", "input-vanished", "usage") when it ends.  --hold waits
// while FILE exists (at most a minute).  --mpeg writes MPEG audio frames (of
// silence) that a tag library takes for an MP3.  --fail-for makes only the
// runs whose OUTPUT contains TEXT fail at once: they write nothing and exit
// with 3, and with --remove-folder remove OUTPUT's folder (when empty) first.
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr DWORD kHoldPollMs = 20;
constexpr DWORD kHoldLimitMs = 60000;
constexpr int kExitUsage = 64;
constexpr int kExitNoInput = 65;
constexpr int kExitInputVanished = 66;
constexpr int kExitCannotWrite = 67;
constexpr int kExitFailedOnPurpose = 3;

struct Options {
  const char* log = nullptr;
  const char* hold = nullptr;
  DWORD wait_ms = 0;
  int exit_code = 0;
  bool write_output = true;
  bool empty_output = false;
  bool mpeg_output = false;
  const char* fail_for = nullptr;
  bool remove_folder = false;
  const char* input = nullptr;
  const char* output = nullptr;
};

void Log(const Options& options, const std::string& line) {
  if (!options.log) return;
  if (FILE* file = std::fopen(options.log, "ab")) {
    std::fprintf(file, "%s\n", line.c_str());
    std::fclose(file);
  }
}

bool Exists(const char* path) { return GetFileAttributesA(path) != INVALID_FILE_ATTRIBUTES; }

bool Parse(int argc, char** argv, Options* options) {
  int positional = 0;
  for (int i = 1; i < argc; ++i) {
    const char* arg = argv[i];
    const bool has_value = i + 1 < argc;
    if (!std::strcmp(arg, "--log") && has_value) {
      options->log = argv[++i];
    } else if (!std::strcmp(arg, "--hold") && has_value) {
      options->hold = argv[++i];
    } else if (!std::strcmp(arg, "--wait-ms") && has_value) {
      options->wait_ms = DWORD(std::strtoul(argv[++i], nullptr, 10));
    } else if (!std::strcmp(arg, "--exit") && has_value) {
      options->exit_code = std::atoi(argv[++i]);
    } else if (!std::strcmp(arg, "--no-output")) {
      options->write_output = false;
    } else if (!std::strcmp(arg, "--empty")) {
      options->empty_output = true;
    } else if (!std::strcmp(arg, "--mpeg")) {
      options->mpeg_output = true;
    } else if (!std::strcmp(arg, "--fail-for") && has_value) {
      options->fail_for = argv[++i];
    } else if (!std::strcmp(arg, "--remove-folder")) {
      options->remove_folder = true;
    } else if (positional == 0) {
      options->input = arg;
      ++positional;
    } else if (positional == 1) {
      options->output = arg;
      ++positional;
    } else {
      return false;
    }
  }
  return positional == 2;
}

}  // namespace

int main(int argc, char** argv) {
  Options options;
  const bool parsed = Parse(argc, argv, &options);
  std::string started = "start";
  for (int i = 1; i < argc; ++i) started += std::string("|") + argv[i];
  Log(options, started);
  if (!parsed) {
    Log(options, "usage");
    return kExitUsage;
  }
  if (!Exists(options.input)) {
    Log(options, "no-input");
    return kExitNoInput;
  }
  if (options.hold) {
    const DWORD began = GetTickCount();
    while (Exists(options.hold) && GetTickCount() - began < kHoldLimitMs) Sleep(kHoldPollMs);
  }
  if (options.fail_for && std::strstr(options.output, options.fail_for)) {
    if (options.remove_folder) {
      std::string folder = options.output;
      folder.erase(std::min(folder.size(), folder.find_last_of('\\')));
      RemoveDirectoryA(folder.c_str());
    }
    Log(options, "failed");
    return kExitFailedOnPurpose;
  }
  Sleep(options.wait_ms);
  if (!Exists(options.input)) {
    Log(options, "input-vanished");
    return kExitInputVanished;
  }
  if (options.write_output) {
    FILE* file = std::fopen(options.output, "wb");
    if (!file) {
      Log(options, "cannot-write");
      return kExitCannotWrite;
    }
    if (options.mpeg_output) {
      // MPEG-1 layer III, 128 kbit/s, 44.1 kHz: 417-byte frames.
      static const unsigned char kFrameHeader[] = {0xFF, 0xFB, 0x90, 0x00};
      static const unsigned char kFrameBody[417 - sizeof kFrameHeader] = {};
      for (int frame = 0; frame < 40; ++frame) {
        std::fwrite(kFrameHeader, 1, sizeof kFrameHeader, file);
        std::fwrite(kFrameBody, 1, sizeof kFrameBody, file);
      }
    } else if (!options.empty_output) {
      std::fprintf(file, "encoded from %s", options.input);
    }
    std::fclose(file);
  }
  Log(options, "end");
  return options.exit_code;
}
