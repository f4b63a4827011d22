#pragma once
// The one exception type of the program: a failure with a readable message.
// Engine result codes travel as std::system_error in their own category
// (sevenzip/result.h), which derives from std::runtime_error as this does.
#include <stdexcept>
#include <string>

namespace coffer {

class Error : public std::runtime_error {
 public:
  using std::runtime_error::runtime_error;
};

}  // namespace coffer
