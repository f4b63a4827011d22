#include "platform/file_remover.h"
#include "platform/system-win32.h"

namespace coffer {

void LowerThisThreadsPriority() { ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

int FileRemover::ThreadsFor(const OpenFolder&) { return kThreads; }

}  // namespace coffer
