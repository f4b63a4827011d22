#include "pack/inspect.h"

#include <cstdio>
#include <exception>
#include <memory>
#include <optional>

#include "app/files.h"
#include "app/working_folder.h"
#include "pack/packer.h"
#include "pack/terminal.h"
#include "platform/error.h"
#include "platform/resources.h"
#include "platform/stream.h"

namespace coffer::pack {
namespace {

// The archive inside a self-extracting file, opened where the extractor
// looks for it.
class OpenedArchive {
 public:
  OpenedArchive(const std::string& path, const std::string& module)
      : file_(path, FileMode::kRead) {
    if (file_.Size() <= kPayloadOffset) throw Error(path + " holds no archive");
    window_ = std::make_unique<StreamWindow>(file_, kPayloadOffset);
    reader_ = sevenzip::New7zReader(sevenzip::Format7zClassId, module);
  }
  // Throws with the engine's reason when the headers do not open. With
  // hidden names the headers are encrypted and the password is asked for
  // first (only then): a refusal to open is then a wrong password.
  void Open(const std::string& path) {
    reader_->SetPasswordHandler(this, &OpenedArchive::HeaderPassword);
    try {
      reader_->OpenFromStream(*window_);
    } catch (const std::exception& e) {
      if (ask_failure_) {
        try {
          std::rethrow_exception(ask_failure_);
        } catch (const UsageError&) {
          throw;
        } catch (const std::exception& asking) {
          throw NoPassword("the names in " + path + " are hidden and need the password: " + asking.what());
        }
      }
      if (password_) throw WrongPassword("wrong password for " + path + " (or its headers are damaged)");
      const std::string why = e.what();
      throw Error("the archive in " + path + " cannot be opened" + (why.empty() ? "" : ": " + why));
    }
  }
  // The password, asked at most once (standard input can be read once).
  const std::string& Password() {
    if (!password_) password_ = ExistingPassword(password_file_);
    return *password_;
  }
  void set_password_file(const std::optional<std::string>& file) { password_file_ = file; }
  sevenzip::I7zReader& reader() { return *reader_.get(); }

  class WrongPassword : public Error {
   public:
    using Error::Error;
  };
  class NoPassword : public Error {
   public:
    using Error::Error;
  };

 private:
  static int32_t HeaderPassword(void* sender, std::string& password) {
    auto* self = static_cast<OpenedArchive*>(sender);
    try {
      password = self->Password();
      return 0;
    } catch (...) {
      self->ask_failure_ = std::current_exception();
      return sevenzip::kStopResult;
    }
  }

  std::optional<std::string> password_file_;
  std::optional<std::string> password_;
  std::exception_ptr ask_failure_;
  FileStream file_;
  std::unique_ptr<StreamWindow> window_;
  sevenzip::ReaderRef reader_;
};

int32_t NoStream(void*, uint32_t, ISequentialOutStream** stream) {
  *stream = nullptr;
  return 0;
}

struct TestProgress {
  ProgressBar bar;
  int64_t total = 0;
  static int32_t On(void* sender, bool is_total, int64_t value) {
    auto* self = static_cast<TestProgress*>(sender);
    if (Interrupted()) return sevenzip::kStopResult;
    if (is_total) self->total = value;
    else self->bar.Update("testing", value, self->total);
    return 0;
  }
};

// The extractor's own password check: the probe item must decrypt to its
// stated, non-zero size with a clean verdict.
bool ProbeAccepts(sevenzip::I7zReader& reader, const std::string& scratch) {
  for (uint32_t i = 0; i < reader.ItemCount(); ++i) {
    if (reader.ItemIsFolder(i) || reader.ItemPath(i) != kProbeItemName || !reader.ItemIsEncrypted(i)) continue;
    const int64_t stated = reader.ItemSize(i);
    int64_t actual = 0;
    {
      FileStream target(scratch + "probe", FileMode::kCreate);
      try {
        reader.ExtractItemToStream(i, target, false);
      } catch (const std::exception&) {
        if (Interrupted()) throw;
        return false;
      }
      actual = target.Size();
    }
    if (!reader.LastFailures().empty() || (actual == 0 && stated != 0)) return false;
    if (stated != 0 && stated == actual) return true;
  }
  return true;
}

// Items that hold data without encryption: anyone could have put them in.
bool Unprotected(sevenzip::I7zReader& reader, uint32_t i) {
  return !reader.ItemIsFolder(i) && reader.ItemSize(i) > 0 && !reader.ItemIsEncrypted(i);
}

// Whether the password protects anything at all: some item with data is
// encrypted (folders and empty files carry nothing to protect).
bool AnythingProtected(sevenzip::I7zReader& reader) {
  bool data = false;
  for (uint32_t i = 0; i < reader.ItemCount(); ++i) {
    if (reader.ItemIsFolder(i) || reader.ItemSize(i) == 0) continue;
    if (reader.ItemIsEncrypted(i)) return true;
    data = true;
  }
  return !data;
}

}  // namespace

ResourceEngine::ResourceEngine() : folder_(MakeWorkingFolder(kWorkingFolderNeed)) {
  try {
    ResourceToFile("7z_dll", "FILE", module_path());
  } catch (...) {
    RemoveTree(folder_);
    throw;
  }
}

ResourceEngine::~ResourceEngine() { RemoveTree(folder_); }

namespace {

// Runs a mode's `body`; a failure is printed and becomes the exit status.
// --list words what does not open as damage, on the standard output it
// lists on; --test reports on stderr.
template <typename Body>
int Guarded(bool listing, Body body) {
  try {
    return body();
  } catch (const OpenedArchive::WrongPassword& e) {
    std::fprintf(stderr, "coffer-pack: %s\n", e.what());
    return kExitWrongPassword;
  } catch (const UsageError& e) {
    std::fprintf(stderr, "coffer-pack: %s\n", e.what());
    return kExitUsage;
  } catch (const std::exception& e) {
    const bool damage = listing && !dynamic_cast<const OpenedArchive::NoPassword*>(&e);
    if (damage && Interrupted()) return InterruptedStatus();
    if (damage) std::printf("damaged: %s\n", e.what());
    else std::fprintf(stderr, "coffer-pack: %s\n", e.what());
    return Interrupted() ? InterruptedStatus() : kExitFailure;
  }
}

}  // namespace

int RunList(const Options& options) {
  return Guarded(true, [&] {
    ResourceEngine engine;
    OpenedArchive archive(options.archive, engine.module_path());
    archive.set_password_file(options.password_file);
    archive.Open(options.archive);
    auto& reader = archive.reader();
    const uint32_t count = reader.ItemCount();
    for (uint32_t i = 0; i < count; ++i) {
      const std::string path = reader.ItemPath(i);
      if (path == kProbeItemName) continue;
      if (reader.ItemIsFolder(i)) std::printf("folder %14s  %s/\n", "-", path.c_str());
      else
        std::printf("file   %14lld  %s%s\n", static_cast<long long>(reader.ItemSize(i)), path.c_str(),
                    Unprotected(reader, i) ? "   (not protected by the password)" : "");
    }
    if (!AnythingProtected(reader)) std::printf("not protected: nothing in this archive is encrypted\n");
    std::printf("intact: the archive's headers open and parse\n");
    return kExitOk;
  });
}

int RunTest(const Options& options) {
  return Guarded(false, [&] {
    ResourceEngine engine;
    OpenedArchive archive(options.archive, engine.module_path());
    archive.set_password_file(options.password_file);
    archive.Open(options.archive);  // asks for the password only when the names are hidden
    auto& reader = archive.reader();
    if (!AnythingProtected(reader)) {
      std::fprintf(stderr, "coffer-pack: %s is not protected by a password: nothing in it is encrypted\n",
                   options.archive.c_str());
      return kExitFailure;
    }
    const std::string password = archive.Password();
    reader.SetRequireEncryption(true);
    if (password.empty() || (reader.SetKnownPassword(password), !ProbeAccepts(reader, engine.folder()))) {
      std::fprintf(stderr, "coffer-pack: wrong password for %s\n", options.archive.c_str());
      return kExitWrongPassword;
    }
    TestProgress progress;
    reader.SetProgressHandler(&progress, &TestProgress::On);
    std::string failure;
    try {
      reader.ExtractAllWithHandler(true, nullptr, &NoStream);
    } catch (const std::exception& e) {
      if (Interrupted()) {
        progress.bar.Clear();
        std::fprintf(stderr, "coffer-pack: interrupted\n");
        return InterruptedStatus();
      }
      failure = e.what();
    }
    progress.bar.Clear();
    const auto failures = reader.LastFailures();
    for (const auto& f : failures) {
      const bool refused = f.verdict == sevenzip::Verdict::kNotProtected;
      std::printf("%s: %s (%s)\n", refused ? "refused" : "damaged", f.path.c_str(), f.message.c_str());
    }
    if (!failure.empty()) std::printf("damaged: %s\n", failure.c_str());
    if (failures.empty() && failure.empty()) {
      std::printf("intact: every item of %s decrypts and checks out\n", options.archive.c_str());
      return kExitOk;
    }
    return kExitFailure;
  });
}

}  // namespace coffer::pack
