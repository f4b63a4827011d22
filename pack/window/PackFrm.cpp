#include "pack/window/PackFrm.h"

#include <algorithm>
#include <utility>

#include "i18n/texts.h"
#include "platform/file_ops.h"
#include "platform/paths.h"
#include "ui/PasswordFrm.h"
#include "ui/progress_format.h"

namespace coffer::pack {
namespace {

std::string T(const char* key) { return i18n::Text(key); }

// A box in the window's language; with two buttons the second cancels.
MessageBoxSpec Box(std::string text, MessageIcon icon, MessageButtons buttons = MessageButtons::kOk) {
  MessageBoxSpec spec{std::move(text), T("01000000"), icon, buttons};
  spec.ok_label = i18n::ToMnemonic(T("02000702"));
  spec.cancel_label = i18n::ToMnemonic(T("02000710"));
  return spec;
}

std::string UnpackableWords(sevenzip::Unpackable why) {
  switch (why) {
    case sevenzip::Unpackable::kDanglingLink: return T("0400003A");
    case sevenzip::Unpackable::kLinkLoop: return T("0400003B");
    case sevenzip::Unpackable::kNotFileOrFolder: return T("0400003C");
    case sevenzip::Unpackable::kUnreadable: return T("0400003D");
  }
  return {};
}

std::string StrengthAdvice(const std::string& password, StrengthLevel level) {
  if (password.empty()) return T("04000020");
  static const char* const kKeys[] = {"04000021", "04000022", "04000023", "04000024"};
  return T(kKeys[static_cast<int>(level)]);
}

// A name as given, or what remains of a path once its folder is gone.
std::string LastName(std::string path) {
  while (path.size() > 1 && path.back() == '/') path.pop_back();
  return FileNameOfPath(path);
}

// A figure with its unit kept whole inside a right-to-left sentence: without
// the isolate marks the number and "MB" are placed as separate runs.
std::string Isolated(const std::string& text) { return "\u2068" + text + "\u2069"; }

}  // namespace

std::string OutputPathOf(const PackInput& input) {
  std::string folder = input.folder;
  if (!folder.empty() && folder.back() != '/') folder += '/';
  return folder + WithRunExtension(input.name, input.windows);
}

std::string CheckInput(const PackInput& input) {
  if (input.sources.empty()) return T("04000030");
  if (TrimControlAndBlank(input.name).empty() || input.name.find('/') != std::string::npos) return T("04000031");
  if (!IsFolder(input.folder)) return i18n::Format(T("04000032"), input.folder);
  if (TrimControlAndBlank(input.password).empty()) return T("04000033");
  if (input.password != input.repeat) return T("02000B10");
  const std::string output = OutputPathOf(input);
  if (StatusOf(output)) return i18n::Format(T("04000034"), output);
  return {};
}

std::string RefusalText(const PackEnd& end) {
  switch (end.refusal.value_or(Refusal::kOther)) {
    case Refusal::kSourceUnreadable: return i18n::Format(T("04000035"), end.subject);
    case Refusal::kOutputInsideSource: return i18n::Format(T("04000036"), end.subject);
    case Refusal::kDuplicateName: return i18n::Format(T("04000037"), end.subject);
    case Refusal::kOutputIsFolder: return i18n::Format(T("04000038"), end.subject);
    case Refusal::kUnpackable: {
      std::string list;
      for (const auto& e : end.entries) list += "\n" + e.source + ": " + UnpackableWords(e.why);
      return T("04000039") + list + "\n\n" + T("0400003F");
    }
    case Refusal::kOther: break;
  }
  return i18n::Format(T("0400003E"), end.message);
}

std::string ProgressLine(uint64_t total, uint64_t done, double elapsed_seconds) {
  std::string line = i18n::Format(T("04000040"), Isolated(FormatSize(static_cast<int64_t>(done))),
                                  Isolated(FormatSize(static_cast<int64_t>(total))));
  if (elapsed_seconds <= 0 || done == 0) return line;
  const double speed = static_cast<double>(done) / elapsed_seconds;
  const double remaining = static_cast<double>(total > done ? total - done : 0) / speed;
  return line + "   " + T("02000C04") + " " + Isolated(FormatSize(static_cast<int64_t>(speed)) + "/s") + "   " +
         T("02000C02") + " " + Isolated(FormatTime(static_cast<int64_t>(remaining + 0.5)));
}

TfrmPack::TfrmPack(bool windows_available, Post post)
    : windows_available_(windows_available), post_(std::move(post)) {}

TfrmPack::~TfrmPack() {
  // The job must not outlive the window it reports to.
  StopAndWait();
}

void TfrmPack::StopAndWait() {
  progress_.stop.store(true, std::memory_order_relaxed);
  worker_.reset();
}

void TfrmPack::Terminate() {
  if (!busy()) return view_->Close();
  close_after_end_ = true;
  progress_.stop.store(true, std::memory_order_relaxed);
}

void TfrmPack::FormShow() {
  PackView::Texts t;
  t.caption = T("04000000");
  t.lblSources = T("04000001");
  t.btnAddFiles = T("04000002");
  t.btnAddFolder = T("04000003");
  t.btnRemove = T("04000004");
  t.lblName = T("04000005");
  t.lblFolder = T("04000006");
  t.btnBrowse = T("04000007");
  t.lblPassword = T("04000008");
  t.lblRepeat = T("04000009");
  t.chkShowPassword = T("02000B02");
  t.chkHideNames = T("0400000B");
  t.lblTarget = T("0400000C");
  t.rbLinux = T("0400000D");
  t.rbWindows = T("0400000E");
  t.btnCreate = T("0400000F");
  t.btnCancel = T("02000710");
  t.btnClose = T("04000010");
  t.btnOK = T("02000702");
  t.dlgAddFiles = T("04000011");
  t.dlgFolder = T("04000012");
  view_->ApplyTexts(t);
  view_->SetWindowsAvailable(windows_available_);
  view_->SetBusy(false);
  view_->ShowSources(sources_);
  PasswordChanged();
}

void TfrmPack::AddSources(const std::vector<std::string>& paths) {
  for (const auto& p : paths) {
    if (p.empty() || std::find(sources_.begin(), sources_.end(), p) != sources_.end()) continue;
    sources_.push_back(p);
  }
  view_->ShowSources(sources_);
  if (sources_.empty()) return;
  const std::string& first = sources_.front();
  if (view_->OutputName().empty()) {
    const std::string name = LastName(first);
    const bool folder = IsFolder(first);
    const size_t dot = name.rfind('.');
    view_->SetOutputName(folder || dot == 0 || dot == std::string::npos ? name : name.substr(0, dot));
  }
  if (view_->OutputFolder().empty()) view_->SetOutputFolder(FolderOfPath(first));
}

void TfrmPack::RemoveSource(int index) {
  if (index < 0 || static_cast<size_t>(index) >= sources_.size()) return;
  sources_.erase(sources_.begin() + index);
  view_->ShowSources(sources_);
}

void TfrmPack::PasswordChanged() {
  const std::string password = view_->PasswordText();
  const Strength s = EstimateStrength(password);
  view_->ShowStrength(s.fraction, s.level, StrengthAdvice(password, s.level));
}

void TfrmPack::btnCreateClick() {
  if (busy()) return;
  PackInput input{sources_,           view_->OutputName(), view_->OutputFolder(), view_->PasswordText(),
                  view_->RepeatText(), view_->HideNames(),  view_->ForWindows() && windows_available_};
  const std::string refusal = CheckInput(input);
  if (!refusal.empty()) return Message(refusal, MessageIcon::kError);
  PackSpec spec;
  spec.output = OutputPathOf(input);
  spec.sources = sources_;
  spec.windows = input.windows;
  spec.hide_names = input.hide_names;
  spec.extractor = extractor_;
  Start(std::move(spec), input.password);
}

void TfrmPack::Start(PackSpec spec, std::string password) {
  running_ = spec;
  running_password_ = password;
  progress_.total.store(0, std::memory_order_relaxed);
  progress_.done.store(0, std::memory_order_relaxed);
  progress_.stop.store(false, std::memory_order_relaxed);
  started_ = std::chrono::steady_clock::now();
  view_->SetBusy(true);
  view_->ShowProgress(0, {});
  worker_ = std::make_unique<PackWorker>(std::move(spec), std::move(password), progress_, *this);
}

void TfrmPack::btnCancelClick() {
  if (busy()) progress_.stop.store(true, std::memory_order_relaxed);
  else view_->Close();
}

bool TfrmPack::FormCloseQuery() {
  if (!busy()) return true;
  view_->ShowMessage(Box(T("04000046"), MessageIcon::kQuestion, MessageButtons::kOkCancel), [this](MessageAnswer answer) {
    if (answer == MessageAnswer::kOk) Terminate();
  });
  return false;
}

void TfrmPack::TimerTick() {
  if (!busy()) return;
  const uint64_t total = progress_.total.load(std::memory_order_relaxed);
  const uint64_t done = progress_.done.load(std::memory_order_relaxed);
  const double elapsed = std::chrono::duration<double>(std::chrono::steady_clock::now() - started_).count();
  view_->ShowProgress(total ? static_cast<double>(std::min(done, total)) / static_cast<double>(total) : 0,
                      ProgressLine(total, done, elapsed));
}

void TfrmPack::PackEnded(const PackEnd& end) {
  post_([this, alive = std::weak_ptr<bool>(alive_), end] {
    if (alive.lock()) JobEnded(end);
  });
}

void TfrmPack::JobEnded(const PackEnd& end) {
  worker_.reset();
  view_->SetBusy(false);
  if (close_after_end_) return view_->Close();
  switch (end.kind) {
    case PackEnd::Kind::kWritten: {
      const uint64_t total = progress_.total.load(std::memory_order_relaxed);
      view_->ShowProgress(1, ProgressLine(total, total, 0));
      const std::string advice = running_.windows ? T("04000044") : T("04000043");
      MessageBoxSpec spec = Box(T("04000042") + "\n" + end.summary.output + "\n\n" + T("04000047") + "\n\n" + advice,
                                MessageIcon::kInformation, MessageButtons::kOkCancel);
      spec.ok_label = i18n::ToMnemonic(T("04000045"));
      spec.cancel_label = i18n::ToMnemonic(T("04000010"));
      const std::string folder = FolderOfPath(end.summary.output);
      view_->ShowMessage(spec, [this, folder](MessageAnswer answer) {
        if (answer == MessageAnswer::kOk) view_->OpenFolder(folder);
      });
      return;
    }
    case PackEnd::Kind::kRefused:
      if (end.refusal == Refusal::kUnpackable) {
        view_->ShowMessage(Box(RefusalText(end), MessageIcon::kQuestion, MessageButtons::kOkCancel),
                           [this](MessageAnswer answer) {
          if (answer != MessageAnswer::kOk || busy()) return;
          PackSpec again = running_;
          again.skip_unreadable = true;
          Start(std::move(again), running_password_);
        });
        return;
      }
      return Message(RefusalText(end), MessageIcon::kError);
    case PackEnd::Kind::kStopped:
      view_->ShowProgress(0, {});
      return Message(T("04000041"), MessageIcon::kInformation);
    case PackEnd::Kind::kFailed:
      view_->ShowProgress(0, {});
      return Message(RefusalText(end), MessageIcon::kError);
  }
}

void TfrmPack::Message(const std::string& text, MessageIcon icon) {
  view_->ShowMessage(Box(text, icon), {});
}

}  // namespace coffer::pack
