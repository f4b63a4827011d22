// Fuzz target: the input is the bytes of an archive, opened, listed and
// extracted through the binding the way the extractor drives it. The
// binding's own exceptions are its answer to a damaged archive; anything
// else (a sanitizer report, a crash, an exception of another kind, a hang)
// is a finding.
//
// Built twice from this one file: with libFuzzer in the fuzz build, and with
// replay_main.cpp in the normal build, which replays the saved cases.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <new>
#include <string_view>
#include <system_error>

#include "platform/error.h"
#include "platform/module.h"
#include "sevenzip/reader.h"
#include "sevenzip/result.h"
#include "sevenzip/stream_view.h"
#include "sevenzip/t7z_stream.h"

#ifndef COFFER_FUZZ_ENGINE_MODULE
#error "COFFER_FUZZ_ENGINE_MODULE names the engine module to load"
#endif

namespace {

using namespace coffer;
using namespace coffer::sevenzip;

// A small input may expand to gigabytes. Past this much output per input
// the sink refuses, which also exercises the binding's failure path.
constexpr int64_t kOutputLimit = int64_t{16} << 20;

// Counts what the library writes and keeps none of it.
class Sink final : public HostStream {
 public:
  explicit Sink(int64_t& total) : total_(total) {}
  int64_t Read(void*, int64_t) override { return 0; }
  void Write(const void*, int64_t size) override {
    total_ += size;
    pos_ += size;
    if (total_ > kOutputLimit) throw Error("fuzz: output limit reached");
  }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    const int64_t base = origin == SeekOrigin::kBegin ? 0 : pos_;
    if (base + offset < 0) throw Error("fuzz: seek before the start");
    return pos_ = base + offset;
  }
  int64_t Position() override { return pos_; }
  int64_t Size() override { return pos_; }
  void SetSize(int64_t) override {}

 private:
  int64_t& total_;
  int64_t pos_ = 0;
};

// `sender` is the input's running output total.
int32_t StreamFor(void* sender, uint32_t, ISequentialOutStream** stream) {
  auto sink = std::make_unique<Sink>(*static_cast<int64_t*>(sender));
  *stream = T7zStream::Create(std::move(sink), nullptr).Detach()->AsSequentialOutStream();
  return 0;
}

int32_t Progress(void*, bool, int64_t) { return 0; }

// The binding's failures: coffer::Error, and result codes in the engine's
// category. Anything else escapes and is reported.
template <class F>
void Expecting(F&& f) {
  try {
    f();
  } catch (const std::system_error& e) {
    if (e.code().category() != EngineCategory()) throw;
  } catch (const Error&) {
  }
}

}  // namespace

// Allocation fails here as it does in the program: operator new throws
// std::bad_alloc, which the engine turns into a result code, so an archive
// whose header asks for exabytes is refused, not a crash. (The sanitizers'
// own operator new ends the process instead.) Every form stands on malloc
// and free, which the sanitizers still watch; the forms that are not
// replaced here (aligned ones) keep pairing with each other.
namespace {
void* Allocate(std::size_t size) noexcept { return std::malloc(size ? size : 1); }
void* AllocateOrThrow(std::size_t size) {
  if (void* p = Allocate(size)) return p;
  throw std::bad_alloc();
}
}  // namespace
void* operator new(std::size_t size) { return AllocateOrThrow(size); }
void* operator new[](std::size_t size) { return AllocateOrThrow(size); }
void* operator new(std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void* operator new[](std::size_t size, const std::nothrow_t&) noexcept { return Allocate(size); }
void operator delete(void* p) noexcept { std::free(p); }
void operator delete[](void* p) noexcept { std::free(p); }
void operator delete(void* p, std::size_t) noexcept { std::free(p); }
void operator delete[](void* p, std::size_t) noexcept { std::free(p); }
void operator delete(void* p, const std::nothrow_t&) noexcept { std::free(p); }
void operator delete[](void* p, const std::nothrow_t&) noexcept { std::free(p); }

// AddressSanitizer's defaults for this program (ASAN_OPTIONS still wins): a
// failed allocation comes back empty rather than ending the process.
extern "C" const char* __asan_default_options() { return "allocator_may_return_null=1"; }

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  // Held for the whole run: the module is mapped once, not per input, so its
  // coverage counters stay put and each input skips the loading.
  static const Module keep(COFFER_FUZZ_ENGINE_MODULE);

  ReaderRef reader = New7zReader(Format7zClassId, COFFER_FUZZ_ENGINE_MODULE);
  reader->SetKnownPassword("fuzz");
  reader->SetProgressHandler(nullptr, &Progress);
  BytesStream input(std::string_view(reinterpret_cast<const char*>(data), size));
  bool opened = false;
  Expecting([&] {
    reader->OpenFromStream(input);
    opened = true;
  });
  if (!opened) return 0;

  uint32_t count = 0;
  Expecting([&] { count = reader->ItemCount(); });
  int64_t last_file = -1;
  for (uint32_t i = 0; i < count; ++i) {
    Expecting([&] {
      reader->ItemPath(i);
      reader->ItemName(i);
      reader->ItemSize(i);
      if (!reader->ItemIsFolder(i)) last_file = i;
    });
  }

  int64_t total = 0;
  Expecting([&] { reader->ExtractAllWithHandler(false, &total, &StreamFor); });
  reader->LastFailures();
  // One item on its own as well: the single-stream path, and a second
  // extract call on the same opened archive.
  if (last_file >= 0) {
    Sink target(total);
    Expecting([&] { reader->ExtractItemToStream(static_cast<uint32_t>(last_file), target, false); });
  }
  reader->CloseArchive();
  return 0;
}
