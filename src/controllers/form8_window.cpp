#include "controllers/form8_window.h"

#include <QRadioButton>

#include "controllers/form2_window.h"
#include "controllers/form4_window.h"
#include "controllers/profile_writer.h"
#include "shell/install_layout.h"
#include "ui/accessibility.h"
#include "ui/messages.h"
#include "forms/ui_Form8.h"

namespace velox::ui {

Form8Window::Form8Window(QWidget* parent) : VeloxDialog(parent), ui_(std::make_unique<Ui::Form8>()) {
  ui_->setupUi(this);
  NameWindow(this, QStringLiteral("Configure Controllers"));
  MakeCheckedOptionTheTabStop({ui_->Option5, ui_->Option1, ui_->Option2, ui_->Option6, ui_->Option3, ui_->Option4});
  for (const ControllerModeInfo& info : ControllerModes()) {
    connect(OptionFor(info.mode), &QRadioButton::toggled, this, [this](bool) { Form8_Option_Click(); });
  }
  connect(ui_->Command1, &QPushButton::clicked, this, &Form8Window::Form8_Command1_Click);
  connect(ui_->Command2, &QPushButton::clicked, this, &Form8Window::Form8_Command2_Click);
  connect(ui_->Command3, &QPushButton::clicked, this, &Form8Window::Form8_Command3_Click);
  connect(ui_->Command4, &QPushButton::clicked, this, &Form8Window::Form8_Command4_Click);
  ui_->Command1->setEnabled(false);
  ui_->Command2->setEnabled(false);
  ui_->Command4->setFocus();
}

Form8Window::~Form8Window() = default;

SingleWindow<Form8Window>& Form8Window::Instance() {
  static SingleWindow<Form8Window> instance;
  return instance;
}

QRadioButton* Form8Window::OptionFor(ControllerMode mode) const {
  switch (mode) {
    case ControllerMode::Keyboard: return ui_->Option1;
    case ControllerMode::Gamepad: return ui_->Option2;
    case ControllerMode::GamepadKeyboard: return ui_->Option3;
    case ControllerMode::TwoGamepads: return ui_->Option4;
    case ControllerMode::Default: return ui_->Option5;
    case ControllerMode::Adaptoid: return ui_->Option6;
  }
  return nullptr;
}

std::optional<ControllerMode> Form8Window::SelectedMode() const {
  for (const ControllerModeInfo& info : ControllerModes()) {
    if (OptionFor(info.mode)->isChecked()) return info.mode;
  }
  return std::nullopt;
}

void Form8Window::Form8_Form_Load() {
  const std::optional<ControllerMode> stored = ReadControllerMode(AppFolder());
  if (stored) OptionFor(*stored)->setChecked(true);
  Form8_Option_Click();
  ui_->Command4->setFocus();
}

void Form8Window::Form8_Option_Click() {
  const std::optional<ControllerMode> mode = SelectedMode();
  if (!mode) return;  // nothing selected: the buttons keep their state
  ui_->Command1->setEnabled(ModeInfo(*mode).keyboardEnabled);
  ui_->Command2->setEnabled(ModeInfo(*mode).gamepadEnabled);
}

void Form8Window::Form8_Command1_Click() { Form4Window::Instance().Show(); }

void Form8Window::Form8_Command2_Click() { Form2Window::Instance().Show(); }

void Form8Window::Form8_Command3_Click() {
  ControllerOkProgress progress;
  const Status done = RunControllerOk(AppFolder(), SelectedMode(), &progress);
  if (!done) {
    // Closing as if all went well would leave the emulator with a profile the user did not choose.
    QString unchanged;
    if (progress.modeStored) {
      unchanged = QStringLiteral("The controller mode was saved; velox.pad was left unchanged.");
    } else if (progress.profileDeleted) {
      unchanged = QStringLiteral("The stored controller mode was left unchanged; velox.pad had already been deleted.");
    } else {
      unchanged = QStringLiteral("The stored controller mode and velox.pad were left unchanged.");
    }
    ShowProblem(this, MessageFor(QStringLiteral("The controller settings could not be applied."), done.error(), unchanged));
    return;
  }
  close();
}

void Form8Window::Form8_Command4_Click() { close(); }

}  // namespace velox::ui
