#pragma once
// Places `source` at `destination` as the worker does, answering the
// overwrite question, if it comes, with `answer`.
#include <string>

#include "extract/overwrite.h"

namespace coffer::test {

inline PlaceOutcome PlaceAnswering(OverwriteAnswer answer, const std::string& source,
                                   const std::string& destination) {
  ProgressRecord record;
  OverwriteAnswer standing = OverwriteAnswer::kYes;
  return PlaceFile(source, destination, standing, [=] { return answer; }, record);
}

}  // namespace coffer::test
