#pragma once
// The notification-area icon of background mode. It counts as shown only
// once a notification area has really taken it (embedded it); a desktop
// without one never gets an icon that nobody can see or click.
#include <functional>
#include <memory>
#include <string>

namespace coffer {

class TrayIcon {
 public:
  // `icon_name` from the icon theme; `activated` runs on a click.
  TrayIcon(std::string icon_name, std::string tooltip, std::function<void()> activated);
  ~TrayIcon();
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Puts the icon up; `done(true)` once a notification area shows it, or
  // `done(false)` (with the icon taken down again) when none takes it
  // within a moment. `done` runs on the main loop, never inside Show.
  void Show(std::function<void(bool shown)> done);
  void Hide();
  bool Visible() const;
  void set_tooltip(const std::string& tooltip);

  // How long Show waits for a notification area, in milliseconds.
  static constexpr unsigned kEmbedWaitMs = 500;

 private:
  struct Impl;
  std::unique_ptr<Impl> impl_;
};

}  // namespace coffer
