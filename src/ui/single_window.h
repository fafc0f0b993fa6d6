#pragma once
// A window that exists at most once for the whole run. The first show creates
// and loads it; showing it while it is open only brings it to the front with
// the values it holds; closing it drops it, and the next show loads afresh.

#include <QPointer>
#include <QWidget>
#include <functional>

namespace velox::ui {

template <class W>
class SingleWindow {
 public:
  using Factory = std::function<W*()>;

  explicit SingleWindow(Factory factory = [] { return new W(); }) : factory_(std::move(factory)) {}

  // prepare: what the opener hands the window (new or already open) before it loads or comes to the front.
  W* Show(const std::function<void(W&)>& prepare = {}) {
    // A closed window only waits for its deferred deletion: it counts as unloaded.
    if (window_ && !window_->isVisible()) window_ = nullptr;
    if (!window_) {
      window_ = factory_();
      window_->setAttribute(Qt::WA_DeleteOnClose);
      if (prepare) prepare(*window_);
      window_->Load();
      window_->show();
    } else {
      if (prepare) prepare(*window_);
      if (window_->isMinimized()) window_->showNormal();
      window_->show();
    }
    window_->raise();
    window_->activateWindow();
    return window_;
  }

  // The window while it is loaded (shown), else null.
  W* Get() const { return window_ && window_->isVisible() ? window_.data() : nullptr; }

 private:
  Factory factory_;
  QPointer<W> window_;
};

}  // namespace velox::ui
