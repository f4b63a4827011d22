#pragma once
// The archive reader as the rest of the program sees it. Nothing here needs
// the library's headers; the implementation (T7zInArchive) lives beside it.
#include <cstdint>
#include <string>
#include <vector>

#include "platform/stream.h"

struct ISequentialOutStream;  // the library's, only passed through
struct IInStream;

namespace coffer::sevenzip {

struct Guid {
  uint32_t data1;
  uint16_t data2;
  uint16_t data3;
  uint8_t data4[8];
  friend bool operator==(const Guid&, const Guid&) = default;
};

// The library's 7z format handler.
inline constexpr Guid Format7zClassId{
    0x23170F69, 0x40C1, 0x278A, {0x10, 0x00, 0x00, 0x01, 0x10, 0x07, 0x00, 0x00}};

// Largest offset at which the archive signature may start.
inline constexpr uint64_t OpenScanLimit = 0x100000;

// Handlers answer a result code that goes to the library unchanged: 0 goes
// on, kStopResult stops the running operation. (Any other non-zero code is
// not a stop to the library: its decoders take 1 for a data error and carry
// on with the rest of the block, so a stop must always be kStopResult.)
inline constexpr int32_t kStopResult = static_cast<int32_t>(0x80004004u);  // the library's E_ABORT

using ProgressHandler = int32_t (*)(void* sender, bool is_total, int64_t value);
using PasswordHandler = int32_t (*)(void* sender, std::string& password);
using ItemStreamHandler = int32_t (*)(void* sender, uint32_t index,
                                      ISequentialOutStream** stream);

// Per-item verdict codes: the library's operation results, plus one of ours.
enum class Verdict : int32_t {
  kOk = 0,
  kUnsupportedMethod = 1,
  kDataError = 2,
  kCrcError = 3,
  kUnavailable = 4,
  kUnexpectedEnd = 5,
  kDataAfterEnd = 6,
  kIsNotArc = 7,
  kHeadersError = 8,
  kWrongPassword = 9,
  kPathRefused = 1000,    // the item's path would leave the target folder
  kCreateFailed = 1001,   // its output file could not be created
  kStopped = 1002,        // a stop request cut it off; what came out is partial
  kNotProtected = 1003,   // it holds data that is not encrypted: not extracted
};

struct ItemFailure {
  uint32_t index;
  Verdict verdict;
  std::string path;     // the item's path inside the archive
  std::string message;  // a readable reason (for kCreateFailed the system's)
};

// Reference counted: the object, the library objects it made and the module
// stay alive until the last reference is released. The counting methods
// have names of their own: the reader is also the library's callback
// object, whose AddRef and Release have the library's calling convention
// and types, and one method cannot override both.
class I7zReader {
 public:
  virtual uint32_t AddRefReader() = 0;
  virtual uint32_t ReleaseReader() = 0;

  virtual void OpenFromFile(const std::string& path) = 0;
  virtual void OpenFromStream(HostStream& stream) = 0;  // stream stays the caller's
  virtual void CloseArchive() = 0;
  virtual uint32_t ItemCount() = 0;
  virtual std::string ItemPath(uint32_t index) = 0;
  virtual std::string ItemName(uint32_t index) = 0;
  virtual int64_t ItemSize(uint32_t index) = 0;
  virtual bool ItemIsFolder(uint32_t index) = 0;
  // Whether the item's data is encrypted (false for folders and empty files).
  virtual bool ItemIsEncrypted(uint32_t index) = 0;
  virtual void ExtractItemToStream(uint32_t index, HostStream& stream, bool test) = 0;
  virtual void ExtractItemList(const uint32_t* indices, uint32_t count, bool test,
                               void* sender, ItemStreamHandler handler) = 0;
  virtual void ExtractAllWithHandler(bool test, void* sender, ItemStreamHandler handler) = 0;
  virtual void ExtractAllToFolder(const std::string& folder) = 0;
  virtual void SetPasswordHandler(void* sender, PasswordHandler handler) = 0;
  virtual void SetKnownPassword(const std::string& password) = 0;
  virtual void SetProgressHandler(void* sender, ProgressHandler handler) = 0;
  virtual void SetFormatClassId(const Guid& id) = 0;
  virtual Guid FormatClassId() = 0;

  // With `on`, every extract call refuses items that hold data (a non-zero
  // size) without encryption: nothing is written for them and each is
  // reported as kNotProtected. Off after construction.
  virtual void SetRequireEncryption(bool on) = 0;

  // Items of the last extract call whose verdict was not OK, or whose path
  // was refused or whose file could not be created, in the order reported.
  virtual std::vector<ItemFailure> LastFailures() = 0;

 protected:
  ~I7zReader() = default;
};

// Owning handle: releases its reference when it goes.
class ReaderRef {
 public:
  ReaderRef() = default;
  explicit ReaderRef(I7zReader* adopted) : p_(adopted) {}
  ReaderRef(const ReaderRef& o) : p_(o.p_) { if (p_) p_->AddRefReader(); }
  ReaderRef(ReaderRef&& o) noexcept : p_(o.p_) { o.p_ = nullptr; }
  ReaderRef& operator=(ReaderRef o) noexcept { std::swap(p_, o.p_); return *this; }
  ~ReaderRef() { reset(); }
  void reset() { if (p_) { auto* p = p_; p_ = nullptr; p->ReleaseReader(); } }
  I7zReader* operator->() const { return p_; }
  I7zReader* get() const { return p_; }
  explicit operator bool() const { return p_ != nullptr; }

 private:
  I7zReader* p_ = nullptr;
};

// Loads the module at `module_path` and makes a reader for the format.
// Throws coffer::Error with the loading messages on failure.
ReaderRef New7zReader(const Guid& format_class_id, const std::string& module_path);

}  // namespace coffer::sevenzip
