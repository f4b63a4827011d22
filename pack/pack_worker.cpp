#include "pack/pack_worker.h"

#include <utility>

namespace coffer::pack {

PackEnd RunPackJob(const PackSpec& spec, const std::string& password, PackProgress& progress) {
  PackEnd end;
  try {
    PackJob job(spec);
    end.skipped = job.skipped();
    end.summary = job.Write(password, [&](uint64_t total, uint64_t done) {
      progress.total.store(total, std::memory_order_relaxed);
      progress.done.store(done, std::memory_order_relaxed);
      return !progress.stop.load(std::memory_order_relaxed);
    });
    end.kind = PackEnd::Kind::kWritten;
  } catch (const PackRefused& e) {
    end.kind = PackEnd::Kind::kRefused;
    end.refusal = e.kind;
    end.subject = e.subject;
    end.entries = e.entries;
    end.message = e.what();
  } catch (const std::exception& e) {
    end.kind = progress.stop.load(std::memory_order_relaxed) ? PackEnd::Kind::kStopped : PackEnd::Kind::kFailed;
    end.message = e.what();
  }
  return end;
}

PackWorker::PackWorker(PackSpec spec, std::string password, PackProgress& progress, PackHost& host)
    : thread_([spec = std::move(spec), password = std::move(password), &progress, &host] {
        host.PackEnded(RunPackJob(spec, password, progress));
      }) {}

PackWorker::~PackWorker() {
  if (thread_.joinable()) thread_.join();
}

}  // namespace coffer::pack
