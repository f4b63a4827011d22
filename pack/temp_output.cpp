#include "pack/temp_output.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <filesystem>

#include "platform/error.h"

namespace coffer::pack {

TempOutput::TempOutput(std::string final_path) : final_path_(std::move(final_path)) {
  const std::filesystem::path p(final_path_);
  const std::string folder = p.has_parent_path() ? p.parent_path().string() + "/" : std::string();
  std::string name = folder + "." + p.filename().string() + ".part-XXXXXX";
  const int fd = ::mkstemp(name.data());
  if (fd < 0) throw Error("cannot create a file beside " + final_path_ + ": " + std::strerror(errno));
  temp_path_ = name;
  try {
    stream_ = std::make_unique<FileStream>(temp_path_, FileMode::kCreate);
  } catch (...) {
    ::close(fd);
    ::unlink(temp_path_.c_str());
    throw;
  }
  ::close(fd);
}

TempOutput::~TempOutput() {
  stream_.reset();
  if (!committed_) ::unlink(temp_path_.c_str());
}

void TempOutput::Commit() {
  if (::fchmod(stream_->fd(), 0755) != 0)
    throw Error("cannot make " + temp_path_ + " executable: " + std::strerror(errno));
  stream_.reset();
  if (::rename(temp_path_.c_str(), final_path_.c_str()) != 0)
    throw Error("cannot rename " + temp_path_ + " to " + final_path_ + ": " + std::strerror(errno));
  committed_ = true;
}

}  // namespace coffer::pack
