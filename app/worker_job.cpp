#include "app/worker_job.h"

#include <memory>

#include "extract/worker.h"

namespace coffer {
namespace {

class WorkerJob final : public RunningJob {
 public:
  WorkerJob(const WorkerInputs& in, ProgressRecord& record, PauseGate& pause, JobHost& host)
      : worker_(in, record, pause, host) {}
  void Start() override { worker_.Start(); }
  void Join() override { worker_.Join(); }

 private:
  TThreaEncryptFile worker_;
};

}  // namespace

JobFactory ExtractionWorkerFactory() {
  return [](const WorkerInputs& in, ProgressRecord& record, PauseGate& pause, JobHost& host) {
    return std::make_unique<WorkerJob>(in, record, pause, host);
  };
}

}  // namespace coffer
