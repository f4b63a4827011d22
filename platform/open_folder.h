#pragma once
// An open folder that entries are named relative to. Once it is open,
// neither the length of its path nor a link swapped in above it matters to
// what is done inside it.
#include <memory>
#include <string>

namespace coffer {

class OpenFolder {
 public:
  OpenFolder();  // not open
  ~OpenFolder();
  OpenFolder(OpenFolder&&) noexcept;
  OpenFolder& operator=(OpenFolder&&) noexcept;

  // Opens the folder at `path`, which may be reached through links (it is
  // the caller's choice). Not open when the system refuses; the operations
  // on it then fail with the system's reason.
  static OpenFolder AtPath(const std::string& path);

  bool is_open() const;
  // The folder's path as text for messages, ending in "/".
  const std::string& path() const;

  struct Native;  // the system's handle, known to the back end only
  explicit OpenFolder(std::unique_ptr<Native> native);
  const Native* native() const { return native_.get(); }

 private:
  std::unique_ptr<Native> native_;
};

}  // namespace coffer
