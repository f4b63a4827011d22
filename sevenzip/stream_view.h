#pragma once
// Host streams the writer hands to the library: a view of another stream
// that starts at that stream's position when the view was made (the 7z
// writer seeks relative to its stream's start), and read-only bytes held
// in memory.
#include <algorithm>
#include <cstring>
#include <string>
#include <string_view>

#include "platform/error.h"
#include "platform/stream.h"

namespace coffer::sevenzip {

class StreamView final : public HostStream {
 public:
  explicit StreamView(HostStream& base) : base_(base), start_(base.Position()) {}
  int64_t Read(void* buffer, int64_t size) override { return base_.Read(buffer, size); }
  void Write(const void* buffer, int64_t size) override {
    base_.Write(buffer, size);
    end_ = std::max(end_, Position());
  }
  // The furthest point written so far, relative to the start.
  int64_t WrittenEnd() const { return end_; }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    int64_t target = offset;
    switch (origin) {
      case SeekOrigin::kBegin: target = start_ + offset; break;
      case SeekOrigin::kCurrent: target = base_.Position() + offset; break;
      case SeekOrigin::kEnd: target = base_.Size() + offset; break;
    }
    if (target < start_) throw Error("Cannot seek before the start of the archive");
    return base_.Seek(target, SeekOrigin::kBegin) - start_;
  }
  int64_t Position() override { return base_.Position() - start_; }
  int64_t Size() override { return std::max<int64_t>(0, base_.Size() - start_); }
  void SetSize(int64_t size) override { base_.SetSize(start_ + size); }

 private:
  HostStream& base_;
  const int64_t start_;
  int64_t end_ = 0;
};

class BytesStream final : public HostStream {
 public:
  explicit BytesStream(std::string_view bytes) : bytes_(bytes) {}
  int64_t Read(void* buffer, int64_t size) override {
    const int64_t n = std::clamp<int64_t>(Size() - pos_, 0, size);
    if (n > 0) std::memcpy(buffer, bytes_.data() + pos_, static_cast<size_t>(n));
    pos_ += n;
    return n;
  }
  void Write(const void*, int64_t) override { throw Error("In-memory item data is read-only"); }
  int64_t Seek(int64_t offset, SeekOrigin origin) override {
    const int64_t base = origin == SeekOrigin::kBegin ? 0 : origin == SeekOrigin::kCurrent ? pos_ : Size();
    if (base + offset < 0) throw Error("Cannot seek before the start of in-memory data");
    return pos_ = base + offset;
  }
  int64_t Position() override { return pos_; }
  int64_t Size() override { return static_cast<int64_t>(bytes_.size()); }
  void SetSize(int64_t) override { throw Error("In-memory item data is read-only"); }

 private:
  std::string_view bytes_;
  int64_t pos_ = 0;
};

}  // namespace coffer::sevenzip
