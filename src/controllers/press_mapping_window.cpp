#include "controllers/press_mapping_window.h"

#include <QAbstractButton>
#include <QAccessible>
#include <QApplication>
#include <QComboBox>
#include <QAbstractItemView>
#include <QDialog>
#include <QKeyEvent>
#include <QKeySequence>
#include <QLabel>
#include <QStyle>

#include "controllers/controller_picture_window.h"
#include "ui/accessibility.h"

namespace velox::ui {

namespace {

QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }

void Announce(QObject* object, QAccessible::Event what) {
  QAccessibleEvent event(object, what);
  QAccessible::updateAccessibility(&event);
}

// Where the window system says which physical key it was: the emulator knows
// keys by that, not by the character the layout gives.
KeyPress ToKeyPress(const QKeyEvent* e) {
  KeyPress press;
  const int key = e->key();
  if ((key >= Qt::Key_0 && key <= Qt::Key_9) || (key >= Qt::Key_A && key <= Qt::Key_Z)) press.character = key;
  press.keypad = e->modifiers().testFlag(Qt::KeypadModifier);
  const QString platform = QGuiApplication::platformName();
  if (platform == QLatin1String("windows")) {
    press.source = NativeKeySource::WindowsVirtualKey;
    press.nativeCode = e->nativeVirtualKey();
  } else if (platform == QLatin1String("xcb") || platform.startsWith(QLatin1String("wayland"))) {
    press.source = NativeKeySource::XkbKeycode;
    press.nativeCode = e->nativeScanCode();
  }
  return press;
}

QString KeyText(const QKeyEvent* e) {
  QString text = QKeySequence(e->key()).toString(QKeySequence::NativeText);
  if (text.isEmpty()) text = e->text();
  for (QChar c : text) {
    if (!c.isPrint()) return {};
  }
  return text.left(20);
}

}  // namespace

PressMapping::PressMapping(const Controls& controls, WalkDevice device, QString none, bool highestWins)
    : QObject(controls.dialog), c_(controls), device_(device), none_(std::move(none)), highestWins_(highestWins) {
  markedItem_.fill(-1);
  for (int k = 0; k < kControllerButtonCount; ++k) {
    QComboBox* combo = c_.combos[k];
    baseDescription_[k] = combo->accessibleDescription();
    baseToolTip_[k] = combo->toolTip();
    connect(combo, &QComboBox::currentIndexChanged, this, &PressMapping::UpdateConflicts);
  }
  connect(c_.start, &QAbstractButton::clicked, this, &PressMapping::StartWalk);
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) { FocusChanged(now); });
  c_.dialog->installEventFilter(this);  // to end a walk with the window
  c_.status->setWordWrap(true);
  c_.status->setTextFormat(Qt::PlainText);
  // Two lines kept free, so that a longer hint does not move the buttons.
  c_.status->setMinimumHeight(2 * c_.status->fontMetrics().lineSpacing());
  HideWhileEmpty(c_.status);
}

PressMapping::~PressMapping() { qApp->removeEventFilter(this); }

int PressMapping::PositionOf(const QWidget* widget) const {
  for (int k = 0; k < kControllerButtonCount; ++k) {
    if (c_.combos[k] == widget) return k + 1;
  }
  return 0;
}

void PressMapping::SetStatus(const QString& text) {
  if (c_.status->text() == text) return;
  SetReadableText(c_.status, text);
  c_.status->setAccessibleName(text);
  Announce(c_.status, QAccessible::NameChanged);
}

QString PressMapping::StatusText() const { return c_.status->text(); }

void PressMapping::SetIdleText(const QString& text) {
  idleText_ = text;
  if (!Walking()) SetStatus(text);
}

void PressMapping::RefreshDescription(int position) {
  const int k = position - 1;
  QComboBox* combo = c_.combos[k];
  QStringList parts;
  if (Walking() && walk_.Position() == position) parts << StatusText();
  if (!conflict_[k].isEmpty()) parts << conflict_[k];
  const QString description = parts.isEmpty() ? baseDescription_[k] : parts.join(QStringLiteral(". "));
  if (combo->accessibleDescription() != description) {
    combo->setAccessibleDescription(description);
    Announce(combo, QAccessible::DescriptionChanged);
  }
  const QString tip = conflict_[k].isEmpty() ? baseToolTip_[k] : conflict_[k];
  if (combo->toolTip() != tip) combo->setToolTip(tip);
}

void PressMapping::UpdateConflicts() {
  std::array<int, kControllerButtonCount> values{};
  for (int k = 0; k < kControllerButtonCount; ++k) {
    const QComboBox* combo = c_.combos[k];
    values[k] = combo->currentText() == none_ ? -1 : combo->currentIndex();
  }
  const auto shared = SharedChoices(values, -1);
  for (int k = 0; k < kControllerButtonCount; ++k) {
    QComboBox* combo = c_.combos[k];
    const QString note =
        shared[k].empty() ? QString()
                          : Text(ConflictNote(k + 1, shared[k], combo->currentText().toStdString(), highestWins_));
    const int marked = note.isEmpty() ? -1 : combo->currentIndex();
    if (markedItem_[k] != marked) {
      if (markedItem_[k] >= 0 && markedItem_[k] < combo->count()) combo->setItemIcon(markedItem_[k], QIcon());
      if (marked >= 0) combo->setItemIcon(marked, combo->style()->standardIcon(QStyle::SP_MessageBoxWarning));
      markedItem_[k] = marked;
    }
    if (conflict_[k] != note) {
      conflict_[k] = note;
      RefreshDescription(k + 1);
    }
  }
}

void PressMapping::StartWalk() {
  walk_.Start();
  qApp->installEventFilter(this);
  ShowStep();
}

void PressMapping::ShowStep() {
  const int position = walk_.Position();
  c_.picture->SetWalkPosition(position);
  SetStatus(Text(WalkPrompt(device_, position, walk_.Step())));
  for (int p = 1; p <= kControllerButtonCount; ++p) RefreshDescription(p);
  // Described first, so that a screen reader reads the prompt as the focus arrives.
  c_.combos[position - 1]->setFocus(Qt::OtherFocusReason);
}

void PressMapping::StopWalk(const QString& status) {
  walk_.Stop();
  qApp->removeEventFilter(this);
  c_.picture->SetWalkPosition(0);
  SetStatus(status);
  for (int p = 1; p <= kControllerButtonCount; ++p) RefreshDescription(p);
}

void PressMapping::ChooseAtWalk(const QString& entry) {
  c_.combos[walk_.Position() - 1]->setCurrentText(entry);
  if (walk_.Advance()) {
    ShowStep();
    return;
  }
  StopWalk(QStringLiteral("All %1 chosen \u2014 check them, then Ok saves them").arg(kControllerButtonCount));
  c_.ok->setFocus(Qt::OtherFocusReason);
}

void PressMapping::ChooseByPress(const QString& entry) {
  if (Walking()) {
    ChooseAtWalk(entry);
    return;
  }
  QWidget* focus = QApplication::focusWidget();
  const int position = PositionOf(focus);
  if (!position) return;
  c_.combos[position - 1]->setCurrentText(entry);
  for (QWidget* next = focus->nextInFocusChain(); next != focus; next = next->nextInFocusChain()) {
    if (PositionOf(next) && next->isEnabled() && next->isVisible()) {
      next->setFocus(Qt::TabFocusReason);
      return;
    }
  }
}

bool PressMapping::CloseOpenList() {
  QWidget* popup = QApplication::activePopupWidget();
  for (QComboBox* combo : c_.combos) {
    if (popup && combo->view()->window() == popup) {
      combo->hidePopup();
      combo->setFocus(Qt::PopupFocusReason);
      return true;
    }
  }
  return false;
}

bool PressMapping::HandleWalkKey(QKeyEvent* e) {
  // Shortcuts with Ctrl or Alt (mnemonics, closing the window) keep working.
  if (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
  // A key held down repeats: it must not fill the next positions as well.
  if (e->isAutoRepeat()) return true;
  switch (e->key()) {
    case Qt::Key_Escape:
      StopWalk(QStringLiteral("Stopped \u2014 the choices made are kept; Ok saves them, Cancel drops them"));
      return true;
    case Qt::Key_Backspace:
    case Qt::Key_Delete: ChooseAtWalk(none_); return true;
    case Qt::Key_Tab:
      if (walk_.Advance()) {
        ShowStep();
      } else {
        StopWalk(QStringLiteral("All %1 gone through \u2014 Ok saves them").arg(kControllerButtonCount));
        c_.ok->setFocus(Qt::OtherFocusReason);
      }
      return true;
    case Qt::Key_Backtab:
      walk_.Back();
      ShowStep();
      return true;
    default: break;
  }
  if (device_ == WalkDevice::Keyboard) {
    if (const auto name = KeyNameForPress(ToKeyPress(e))) {
      ChooseAtWalk(QString(QLatin1Char(*name)));
      return true;
    }
  }
  const bool keypad = e->modifiers().testFlag(Qt::KeypadModifier);
  SetStatus(Text(RefusedKeyHint(device_, KeyText(e).toStdString(), keypad, walk_.Position(), walk_.Step())));
  RefreshDescription(walk_.Position());
  return true;
}

bool PressMapping::eventFilter(QObject* watched, QEvent* event) {
  const QEvent::Type type = event->type();
  if (watched == c_.dialog && type == QEvent::Hide && Walking()) StopWalk(idleText_);
  if (!Walking() || (type != QEvent::KeyPress && type != QEvent::ShortcutOverride) || !watched->isWidgetType() ||
      static_cast<QWidget*>(watched)->window() != c_.dialog) {
    return false;
  }
  auto* key = static_cast<QKeyEvent*>(event);
  if (type == QEvent::ShortcutOverride) {
    // Keys the walk takes are not shortcuts while it runs.
    if (key->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)) return false;
    key->accept();
    return true;
  }
  return HandleWalkKey(key);
}

void PressMapping::FocusChanged(QWidget* now) {
  if (!Walking() || !now || now->window() != c_.dialog) return;
  const int position = PositionOf(now);
  if (position == walk_.Position()) return;
  if (position) {
    // The player went to another list: the walk goes on from there.
    walk_.JumpTo(position);
    ShowStep();
  } else {
    StopWalk(idleText_);
  }
}

}  // namespace velox::ui
