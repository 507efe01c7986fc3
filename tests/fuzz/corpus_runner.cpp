// Runs a fuzz harness without libFuzzer: every sample input, then variations
// of them (bytes flipped, cut, repeated) from a fixed seed, for a bounded
// time. The ordinary test run builds and runs every harness this way, so one
// that stops compiling or linking, or trips over its own samples, is seen at
// once.
//   NAME_fuzz [--seconds=S] [--dump=FILE] FILE_OR_FOLDER...
// A failing input (sanitizer report, abort, trap) is written to the dump file
// (default NAME.failed in the working folder) and the runner dies with it.
#include <sanitizer/common_interface_defs.h>

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size);

namespace {

using Bytes = std::vector<uint8_t>;

// What the failure handlers need: plain storage, read from a signal handler.
const uint8_t* g_current_data = nullptr;
size_t g_current_size = 0;
char g_dump_path[4096] = {};
char g_current_label[512] = {};

void WriteAll(int fd, const void* data, size_t size) {
  const char* p = static_cast<const char*>(data);
  while (size > 0) {
    const ssize_t written = write(fd, p, size);
    if (written <= 0) return;
    p += written;
    size -= static_cast<size_t>(written);
  }
}

void WriteText(const char* text) { WriteAll(STDERR_FILENO, text, strlen(text)); }

// Async-signal-safe: only open, write and close.
void DumpCurrentInput() {
  if (g_current_data == nullptr && g_current_size != 0) return;
  const int fd = open(g_dump_path, O_WRONLY | O_CREAT | O_TRUNC, 0644);
  if (fd >= 0) {
    WriteAll(fd, g_current_data, g_current_size);
    close(fd);
  }
  WriteText("\n== failing input: ");
  WriteText(g_current_label);
  WriteText("\n== written to: ");
  WriteText(g_dump_path);
  WriteText("\n");
}

void OnFatalSignal(int signal_number) {
  DumpCurrentInput();
  ::signal(signal_number, SIG_DFL);
  ::raise(signal_number);
}

void RunOne(const Bytes& input, const std::string& label) {
  snprintf(g_current_label, sizeof g_current_label, "%s", label.c_str());
  // A copy of exactly the input's size, so a harness reading past the end
  // meets the address sanitizer rather than the vector's spare capacity.
  uint8_t* copy = static_cast<uint8_t*>(malloc(input.empty() ? 1 : input.size()));
  if (copy == nullptr) abort();
  if (!input.empty()) memcpy(copy, input.data(), input.size());
  g_current_data = copy;
  g_current_size = input.size();
  LLVMFuzzerTestOneInput(input.empty() ? nullptr : copy, input.size());
  g_current_data = nullptr;
  g_current_size = 0;
  free(copy);
}

bool ReadFile(const std::filesystem::path& path, Bytes* out) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return false;
  out->assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
  return !in.bad();
}

// Files of a folder in name order, so every run meets them alike.
bool CollectInputs(const std::filesystem::path& path, std::vector<std::filesystem::path>* files) {
  std::error_code error;
  if (std::filesystem::is_regular_file(path, error)) {
    files->push_back(path);
    return true;
  }
  if (!std::filesystem::is_directory(path, error)) return false;
  std::vector<std::filesystem::path> found;
  for (std::filesystem::recursive_directory_iterator it(path, error), end; !error && it != end; it.increment(error)) {
    if (it->is_regular_file(error)) found.push_back(it->path());
  }
  if (error) return false;
  std::sort(found.begin(), found.end());
  files->insert(files->end(), found.begin(), found.end());
  return true;
}

Bytes Mutate(const Bytes& base, std::mt19937& random) {
  Bytes out = base;
  const auto pick = [&random](size_t bound) { return bound == 0 ? 0 : static_cast<size_t>(random() % bound); };
  const int edits = 1 + static_cast<int>(random() % 4);
  for (int e = 0; e < edits; ++e) {
    switch (random() % 6) {
      case 0:  // one byte changed to anything
        if (!out.empty()) out[pick(out.size())] = static_cast<uint8_t>(random());
        break;
      case 1:  // one bit flipped
        if (!out.empty()) out[pick(out.size())] ^= static_cast<uint8_t>(1u << (random() % 8));
        break;
      case 2:  // cut short
        out.resize(pick(out.size() + 1));
        break;
      case 3: {  // a stretch removed
        const size_t at = pick(out.size() + 1);
        const size_t length = std::min(out.size() - at, pick(64) + 1);
        out.erase(out.begin() + static_cast<std::ptrdiff_t>(at),
                  out.begin() + static_cast<std::ptrdiff_t>(at + length));
        break;
      }
      case 4: {  // a stretch repeated
        if (out.empty() || out.size() > 65536) break;
        const size_t at = pick(out.size());
        const size_t length = std::min(out.size() - at, pick(256) + 1);
        const Bytes stretch(out.begin() + static_cast<std::ptrdiff_t>(at),
                            out.begin() + static_cast<std::ptrdiff_t>(at + length));
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(pick(out.size() + 1)), stretch.begin(), stretch.end());
        break;
      }
      default: {  // bytes a parser treats specially
        static const uint8_t kSpecial[] = {0, '\n', '\r', '"', '%', '&', '<', '>', '\\', ';', '=', '#', 0x80, 0xff};
        out.insert(out.begin() + static_cast<std::ptrdiff_t>(pick(out.size() + 1)), kSpecial[pick(sizeof kSpecial)]);
        break;
      }
    }
  }
  return out;
}

}  // namespace

int main(int argc, char** argv) {
  double seconds = 2.0;
  std::string dump;
  std::vector<std::filesystem::path> files;
  for (int i = 1; i < argc; ++i) {
    const std::string argument = argv[i];
    if (argument.rfind("--seconds=", 0) == 0) {
      seconds = atof(argument.c_str() + 10);
    } else if (argument.rfind("--dump=", 0) == 0) {
      dump = argument.substr(7);
    } else if (!CollectInputs(argument, &files)) {
      fprintf(stderr, "no such sample file or folder: %s\n", argument.c_str());
      return 2;
    }
  }
  if (dump.empty()) dump = std::filesystem::path(argv[0]).filename().string() + ".failed";
  snprintf(g_dump_path, sizeof g_dump_path, "%s", dump.c_str());
  __sanitizer_set_death_callback(DumpCurrentInput);
  ::signal(SIGABRT, OnFatalSignal);
  ::signal(SIGILL, OnFatalSignal);
  ::signal(SIGFPE, OnFatalSignal);

  std::vector<Bytes> samples{Bytes{}};
  std::vector<std::string> sample_names{"the empty input"};
  RunOne(samples[0], sample_names[0]);
  for (const auto& file : files) {
    Bytes input;
    if (!ReadFile(file, &input)) {
      fprintf(stderr, "cannot read %s\n", file.string().c_str());
      return 2;
    }
    RunOne(input, file.string());
    samples.push_back(std::move(input));
    sample_names.push_back(file.string());
  }

  std::mt19937 random(20240601u);
  if (samples.size() == 1) {
    // Nothing to start from: random bytes of a few lengths instead.
    for (size_t length : {1u, 7u, 64u, 1000u}) {
      Bytes noise(length);
      for (auto& b : noise) b = static_cast<uint8_t>(random());
      samples.push_back(std::move(noise));
      sample_names.push_back(std::to_string(length) + " random bytes");
    }
  }
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  size_t variations = 0;
  while (std::chrono::steady_clock::now() < deadline) {
    const size_t base = static_cast<size_t>(random() % samples.size());
    RunOne(Mutate(samples[base], random), "variation " + std::to_string(variations) + " of " + sample_names[base]);
    ++variations;
  }
  printf("%zu sample(s) and %zu variation(s) passed\n", samples.size(), variations);
  return 0;
}
