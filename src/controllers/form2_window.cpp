#include "controllers/form2_window.h"

#include <QAccessible>

#include "controllers/joystick_sdl.h"
#include "controllers/mapping_walk.h"

#include "shell/install_layout.h"
#include "ui/accessibility.h"
#include "ui/messages.h"
#include "forms/ui_Form2.h"

namespace velox::ui {

namespace {
// About thirty reads a second: a held button still shows at once (within a
// frame of a slow screen), at half the idle cost of sixty.
constexpr int kPollMilliseconds = 33;
// Without a pad, looking four times a second is enough to notice one plugged in,
// and leaves the processor idle while the dialog sits open.
constexpr int kSearchMilliseconds = 250;
}  // namespace

Form2Window::Form2Window(QWidget* parent) : VeloxDialog(parent), ui_(std::make_unique<Ui::Form2>()) {
  ui_->setupUi(this);
  NameWindow(this, QStringLiteral("Configure GamePad"));
  combos_ = AttachCombos(this, ui_->Image1);
  timer_ = new QTimer(this);
  timer_->setObjectName(QStringLiteral("Timer1"));
  timer_->setInterval(kPollMilliseconds);
  connect(timer_, &QTimer::timeout, this, &Form2Window::Form2_Timer1_Timer);
  connect(ui_->Command1, &QPushButton::clicked, this, &Form2Window::Form2_Command1_Click);
  connect(ui_->Command2, &QPushButton::clicked, this, &Form2Window::Form2_Command2_Click);
  ui_->PadName->setWordWrap(true);  // a long name takes a second line, never a wider window
  press_ = new PressMapping({this, combos_, ui_->Image1, ui_->MapAllButton, ui_->Command1, ui_->WalkStatus},
                            WalkDevice::Gamepad, QString::fromLatin1(kNoJoystickButton), true);
}

Form2Window::~Form2Window() = default;

SingleWindow<Form2Window>& Form2Window::Instance() {
  static SingleWindow<Form2Window> instance;
  return instance;
}

void Form2Window::Form2_Form_Load() {
  // The gamepad is first needed now; without a joystick subsystem the box stays empty.
  InitJoystickSubsystem();
  for (QComboBox* combo : combos_) {
    combo->clear();
    for (int n = 0; n <= kJoystickButtonCount; ++n) combo->addItem(QString::fromStdString(ChoiceText(n)));
    combo->setCurrentIndex(0);
  }
  const GamepadMapping mapping = ReadGamepadMapping(AppFolder());
  for (size_t k = 0; k < combos_.size(); ++k) combos_[k]->setCurrentIndex(mapping.buttons[k]);
  ui_->Text111->clear();
  // A button already held as the dialog opens is not a press.
  lastButtons_ = ReadJoystickButtons();
  ShowPad();
  press_->UpdateConflicts();
  timer_->start();  // stops with the window, which is dropped when it closes
}

// Everything the pad drives hangs on this one read per tick.
void Form2Window::Form2_Timer1_Timer() {
  const std::uint32_t buttons = ReadJoystickButtons();
  const QString held = QString::fromStdString(PressedButtonText(buttons));
  if (ui_->Text111->text() != held) ui_->Text111->setText(held);
  const std::optional<int> pressed = NewlyPressedButton(lastButtons_, buttons);
  lastButtons_ = buttons;
  // Presses meant for another program are not choices.
  if (pressed && isActiveWindow()) press_->ChooseByPress(QString::fromStdString(ChoiceText(*pressed)));
  ui_->Image1->SetHeld(buttons ? PositionsHeld(ShownMapping(), buttons) : PositionSet{});
  ShowPad();
  const int interval = JoystickConnected() ? kPollMilliseconds : kSearchMilliseconds;
  if (timer_->interval() != interval) timer_->setInterval(interval);
}

void Form2Window::ShowPad() {
  // Read at every tick: only a change of pad is worth making a text for.
  const std::tuple<bool, unsigned, int> pad{InitJoystickSubsystem(), JoystickGeneration(), JoystickCount()};
  if (pad == shownPad_) return;
  shownPad_ = pad;
  const auto [supported, generation, count] = pad;
  const PadState state = !supported ? PadState::NoSupport : JoystickConnected() ? PadState::Connected : PadState::None;
  const QString text = QString::fromStdString(PadStatusText(state, JoystickName(), count));
  if (ui_->PadName->text() == text) return;
  ui_->PadName->setText(text);
  ui_->PadName->setAccessibleName(text);
  QAccessibleEvent event(ui_->PadName, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
  // Without SDL no pad can ever answer a walk.
  ui_->MapAllButton->setEnabled(state != PadState::NoSupport);
  press_->SetIdleText(state == PadState::Connected
                          ? QStringLiteral("With a list focused, pressing a pad button chooses it there")
                          : QString());
}

GamepadMapping Form2Window::ShownMapping() const {
  GamepadMapping mapping;
  for (size_t k = 0; k < combos_.size(); ++k) {
    mapping.buttons[k] = ParseChoice(combos_[k]->currentText().toStdString()).value_or(0);
  }
  return mapping;
}

void Form2Window::Form2_Command1_Click() {
  CloseOrReport(this, WriteGamepadMapping(AppFolder(), ShownMapping()), QStringLiteral("The gamepad mapping could not be saved."),
                QStringLiteral("The gamepad mapping file was left unchanged; your choices are still shown."));
}

void Form2Window::Form2_Command2_Click() { close(); }

}  // namespace velox::ui
