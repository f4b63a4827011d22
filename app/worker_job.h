#pragma once
// The job the extractor runs: the extraction worker behind the progress
// window's job interface.
#include "ui/MainFrm.h"

namespace coffer {

// Makes the extraction worker, TThreaEncryptFile, as the job.
JobFactory ExtractionWorkerFactory();

}  // namespace coffer
