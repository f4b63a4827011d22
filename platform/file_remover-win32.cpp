#include "platform/file_remover.h"
#include "platform/system-win32.h"

namespace coffer {

void LowerThisThreadsPriority() { ::SetThreadPriority(::GetCurrentThread(), THREAD_PRIORITY_BELOW_NORMAL); }

}  // namespace coffer
