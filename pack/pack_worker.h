#pragma once
// The window's packing job: the terminal's PackJob on a thread of its own.
// The window reads the shared progress fields on its timer and may ask the
// job to stop; the job's single end goes to the host, from the job's thread.
#include <atomic>
#include <cstdint>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "pack/packer.h"

namespace coffer::pack {

// Written by the job, read by the window's timer (relaxed: each field is
// one figure on its own); `stop` goes the other way.
struct PackProgress {
  std::atomic<uint64_t> total{0};
  std::atomic<uint64_t> done{0};
  std::atomic<bool> stop{false};
};

struct PackEnd {
  enum class Kind { kWritten, kRefused, kFailed, kStopped } kind = Kind::kFailed;
  PackSummary summary;                              // kWritten
  std::vector<sevenzip::UnpackableEntry> skipped;   // kWritten: what was left out
  std::optional<Refusal> refusal;                   // kRefused
  std::string subject;                              // kRefused: the refusal's subject
  std::vector<sevenzip::UnpackableEntry> entries;   // kRefused with kUnpackable
  std::string message;                              // kRefused, kFailed: in English
};

class PackHost {
 public:
  virtual ~PackHost() = default;
  // Called once, on the job's thread, as its last act.
  virtual void PackEnded(const PackEnd& end) = 0;
};

// Runs the whole pack: the checks, then the writing. Nothing is written
// when it is refused, fails or is stopped.
PackEnd RunPackJob(const PackSpec& spec, const std::string& password, PackProgress& progress);

class PackWorker {
 public:
  // Starts the job at once.
  PackWorker(PackSpec spec, std::string password, PackProgress& progress, PackHost& host);
  ~PackWorker();  // waits for the job's end
  PackWorker(const PackWorker&) = delete;
  PackWorker& operator=(const PackWorker&) = delete;

 private:
  std::thread thread_;
};

}  // namespace coffer::pack
