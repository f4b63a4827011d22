#pragma once
// The packing window's behaviour, free of any toolkit: its texts, the list
// of sources, the strength bar, the checks that refuse a pack before
// anything is written, the job on its worker, its progress and its end.
// The GTK view (PackFrmGtk.h) builds the widgets.
#include <chrono>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "pack/pack_worker.h"
#include "pack/strength.h"
#include "platform/message_box.h"

namespace coffer::pack {

class PackView {
 public:
  struct Texts {  // "&" marks mnemonics
    std::string caption, lblSources, btnAddFiles, btnAddFolder, btnRemove, lblName, lblFolder, btnBrowse,
        lblPassword, lblRepeat, chkShowPassword, chkHideNames, lblTarget, rbLinux, rbWindows, btnCreate, btnCancel,
        btnClose, btnOK, dlgAddFiles, dlgFolder;
  };
  virtual ~PackView() = default;
  virtual void ApplyTexts(const Texts& texts) = 0;
  virtual void ShowSources(const std::vector<std::string>& sources) = 0;
  virtual std::string OutputName() const = 0;
  virtual void SetOutputName(const std::string& name) = 0;
  virtual std::string OutputFolder() const = 0;
  virtual void SetOutputFolder(const std::string& folder) = 0;
  virtual std::string PasswordText() const = 0;
  virtual std::string RepeatText() const = 0;
  virtual bool HideNames() const = 0;
  virtual bool ForWindows() const = 0;
  virtual void SetWindowsAvailable(bool available) = 0;
  virtual void SetMasked(bool masked) = 0;
  virtual void ShowStrength(double fraction, StrengthLevel level, const std::string& advice) = 0;
  // While busy the inputs are locked, Create gives way to Cancel and the
  // view calls TimerTick twice a second.
  virtual void SetBusy(bool busy) = 0;
  virtual void ShowProgress(double fraction, const std::string& line) = 0;
  virtual void ShowMessage(const MessageBoxSpec& spec, std::function<void(MessageAnswer)> done) = 0;
  virtual void OpenFolder(const std::string& folder) = 0;  // in the file manager
  virtual void Close() = 0;
};

// What the window holds when Create is pressed.
struct PackInput {
  std::vector<std::string> sources;
  std::string name, folder, password, repeat;
  bool hide_names = false;
  bool windows = false;
};

// The file Create makes: the folder, the name and ".run" or ".exe" when
// the name has no extension of its own.
std::string OutputPathOf(const PackInput& input);

// The refusal Create shows before starting (in the window's language), or
// nothing: no source, no name, a folder that is not there, a blank
// password, two passwords that differ, an output that exists.
std::string CheckInput(const PackInput& input);

// The refusal of the job's checks (a source that cannot be read, an output
// inside a source, ...), in the window's language.
std::string RefusalText(const PackEnd& end);

// "1.5 MB of 3 MB   Speed: 1 MB/s   Remaining time: 00:00:02".
std::string ProgressLine(uint64_t total, uint64_t done, double elapsed_seconds);

class TfrmPack final : public PackHost {
 public:
  // `post` carries a call from the job's thread to the window's (queued,
  // never waited for).
  using Post = std::function<void(std::function<void()>)>;
  TfrmPack(bool windows_available, Post post);
  ~TfrmPack() override;
  TfrmPack(const TfrmPack&) = delete;
  TfrmPack& operator=(const TfrmPack&) = delete;

  void set_view(PackView* view) { view_ = view; }
  // For tests, as --extractor: the image to put in front instead of ours.
  void set_extractor(std::string image) { extractor_ = std::move(image); }
  const std::vector<std::string>& sources() const { return sources_; }
  bool busy() const { return worker_ != nullptr; }
  bool windows_available() const { return windows_available_; }

  void FormShow();
  // Chosen or dropped; one already listed is not added twice. The first
  // source suggests the file's name and folder while those are empty.
  void AddSources(const std::vector<std::string>& paths);
  void RemoveSource(int index);
  void PasswordChanged();
  void chkShowPasswordClick(bool checked) { view_->SetMasked(!checked); }
  void btnCreateClick();
  void btnCancelClick();  // stops a running job; nothing is left behind
  // The close box: answers whether the window may close now. While a job
  // runs it asks first; the window then closes once the job has stopped.
  bool FormCloseQuery();
  void TimerTick();
  // Ended by the system (SIGTERM, a logout): as a confirmed close, without
  // asking.
  void Terminate();
  // The display is gone: the job stops and is waited for here, so that its
  // unfinished file is removed before the process ends.
  void StopAndWait();

  void PackEnded(const PackEnd& end) override;  // on the job's thread

 private:
  void Start(PackSpec spec, std::string password);
  void JobEnded(const PackEnd& end);
  void Message(const std::string& text, MessageIcon icon);

  bool windows_available_;
  Post post_;
  PackView* view_ = nullptr;
  std::vector<std::string> sources_;
  std::optional<std::string> extractor_;
  PackProgress progress_;
  std::unique_ptr<PackWorker> worker_;
  PackSpec running_;
  std::string running_password_;
  std::chrono::steady_clock::time_point started_;
  bool close_after_end_ = false;
  // The job's end may still wait in the main loop's queue when the window
  // goes; it then finds this gone and does nothing.
  std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

}  // namespace coffer::pack
