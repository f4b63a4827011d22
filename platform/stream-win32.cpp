#include <algorithm>

#include "platform/error.h"
#include "platform/stream-win32.h"

namespace coffer {
namespace {

// One ReadFile or WriteFile call takes a 32-bit count.
constexpr int64_t kMaxChunk = int64_t{1} << 30;

}  // namespace

FileStream::FileStream(std::unique_ptr<Native> native, std::string path)
    : native_(std::move(native)), path_(std::move(path)) {}

FileStream::FileStream(const std::string& path, FileMode mode) : native_(std::make_unique<Native>()), path_(path) {
  DWORD access = GENERIC_READ;
  DWORD share = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
  DWORD disposition = OPEN_EXISTING;
  switch (mode) {
    case FileMode::kRead: break;
    // Others may read the file, but nobody may write it while it is open.
    case FileMode::kReadDenyWrite: share = FILE_SHARE_READ; break;
    case FileMode::kCreate:
      access |= GENERIC_WRITE;
      share = FILE_SHARE_READ;
      disposition = CREATE_ALWAYS;
      break;
  }
  native_->handle = win32::Handle(::CreateFileW(win32::LongPath(path).c_str(), access, share, nullptr, disposition,
                                                FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!native_->handle.valid()) Fail(mode == FileMode::kCreate ? "Cannot create" : "Cannot open");
  if (win32::AttributesOf(native_->handle.get()) & FILE_ATTRIBUTE_DIRECTORY) {
    native_->handle.Close();
    ::SetLastError(ERROR_DIRECTORY);
    Fail("Cannot open");
  }
}

std::unique_ptr<FileStream> CreateFileNoFollow(const std::wstring& path, const std::string& shown_path) {
  auto refuse = [&] {
    return Error("Cannot create " + shown_path + ": it is a symbolic link or junction, which is not followed");
  };
  const DWORD before = ::GetFileAttributesW(path.c_str());
  if (before != INVALID_FILE_ATTRIBUTES && (before & FILE_ATTRIBUTE_REPARSE_POINT)) throw refuse();
  auto native = std::make_unique<FileStream::Native>();
  native->handle = win32::Handle(::CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ, nullptr,
                                               CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT,
                                               nullptr));
  if (!native->handle.valid()) throw Error("Cannot create " + shown_path + ": " + win32::ErrorText(::GetLastError()));
  // A link put there since the check was opened as itself, not followed;
  // it is still not what was asked for.
  if (win32::EntryAttributesOf(native->handle.get(), path) & FILE_ATTRIBUTE_REPARSE_POINT) throw refuse();
  return std::make_unique<FileStream>(std::move(native), shown_path);
}

FileStream::~FileStream() = default;

// Windows keeps no permission bits of that kind.
bool FileStream::MakeExecutable() { return true; }

void FileStream::Fail(const char* what) const {
  throw Error(std::string(what) + " " + path_ + ": " + win32::ErrorText(::GetLastError()));
}

int64_t FileStream::Read(void* buffer, int64_t size) {
  if (size <= 0) return 0;
  DWORD n = 0;
  if (!::ReadFile(native_->handle.get(), buffer, static_cast<DWORD>(std::min(size, kMaxChunk)), &n, nullptr))
    Fail("Cannot read");
  return n;
}

void FileStream::Write(const void* buffer, int64_t size) {
  auto* p = static_cast<const char*>(buffer);
  while (size > 0) {
    DWORD n = 0;
    if (!::WriteFile(native_->handle.get(), p, static_cast<DWORD>(std::min(size, kMaxChunk)), &n, nullptr))
      Fail("Cannot write");
    if (n == 0) {
      ::SetLastError(ERROR_WRITE_FAULT);
      Fail("Cannot write");
    }
    p += n;
    size -= n;
  }
}

// Windows has no call that copies a range between two open files.
int64_t FileStream::CopyTo(FileStream&, int64_t) { return 0; }

int64_t FileStream::Seek(int64_t offset, SeekOrigin origin) {
  DWORD method = FILE_BEGIN;
  switch (origin) {
    case SeekOrigin::kBegin: method = FILE_BEGIN; break;
    case SeekOrigin::kCurrent: method = FILE_CURRENT; break;
    case SeekOrigin::kEnd: method = FILE_END; break;
  }
  LARGE_INTEGER distance, position;
  distance.QuadPart = offset;
  if (!::SetFilePointerEx(native_->handle.get(), distance, &position, method)) Fail("Cannot seek in");
  return position.QuadPart;
}

int64_t FileStream::Position() { return Seek(0, SeekOrigin::kCurrent); }

int64_t FileStream::Size() {
  LARGE_INTEGER size;
  if (!::GetFileSizeEx(native_->handle.get(), &size)) Fail("Cannot read the size of");
  return size.QuadPart;
}

void FileStream::SetSize(int64_t size) {
  // The end of a file is set at the file pointer; the position stays.
  const int64_t position = Position();
  Seek(size, SeekOrigin::kBegin);
  if (!::SetEndOfFile(native_->handle.get())) Fail("Cannot set the size of");
  Seek(position, SeekOrigin::kBegin);
}

}  // namespace coffer
