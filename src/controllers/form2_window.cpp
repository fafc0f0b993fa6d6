#include "controllers/form2_window.h"

#include <QAccessible>

#include "controllers/joystick_sdl.h"
#include "controllers/mapping_walk.h"

#include "shell/install_layout.h"
#include "shell/platform.h"
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
  // Linux numbers a pad its own way: only the Windows build reads it as the emulator does.
  if (platform::kWindows) {
    ui_->PadNumbers->hide();
  } else {
    ui_->PadNumbers->setWordWrap(true);
    MakeReadable(ui_->PadNumbers);
    SetReadableText(ui_->PadNumbers, QStringLiteral("These are the button numbers Linux reports. The Windows release, run "
                                                    "in the emulator's Wine prefix, reads the pad exactly as the emulator does."));
  }
  press_ = new PressMapping({this, combos_, ui_->Image1, ui_->MapAllButton, ui_->Command1, ui_->WalkStatus},
                            WalkDevice::Gamepad, QString::fromLatin1(kNoJoystickButton), true);
  const auto load = [this](const std::filesystem::path& file) -> Status {
    const Result<GamepadProfile> profile = ReadGamepadProfile(file);
    if (!profile) return profile.error();
    for (size_t k = 0; k < combos_.size(); ++k) combos_[k]->setCurrentIndex(profile->mapping.buttons[k]);
    return {};
  };
  const auto shown = [this] {
    return GamepadProfileBytes({ShownMapping(), JoystickConnected() ? JoystickName() : std::string()});
  };
  profiles_ = new ProfileRow({this, ui_->ProfileList, ui_->LoadProfile, ui_->SaveProfile, ui_->DeleteProfile},
                             MappingKind::Gamepad, {shown, load});
  connect(profiles_, &ProfileRow::ListChanged, this, &Form2Window::OfferProfile);
  connect(ui_->UseProfile, &QPushButton::clicked, this, [this] {
    if (profiles_->Load(offered_)) ShowOffer({});
  });
  ui_->UseProfile->setVisible(false);
  HideWhileEmpty(ui_->ProfileOffer);
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
  profiles_->Refresh();
  timer_->start();  // stops with the window, which is dropped when it closes
}

// Everything the pad drives hangs on this one read per tick.
void Form2Window::Form2_Timer1_Timer() {
  const std::uint32_t buttons = ReadJoystickButtons();
  const QString held = QString::fromStdString(PressedButtonText(buttons));
  if (ui_->Text111->text() != held) ui_->Text111->setText(held);
  const std::optional<int> pressed = NewlyPressedButton(lastButtons_, buttons);
  lastButtons_ = buttons;
  // Presses meant for another program are not choices; one made while a list of
  // this dialog is open goes to that list.
  if (pressed && (press_->CloseOpenList() || isActiveWindow())) {
    press_->ChooseByPress(QString::fromStdString(ChoiceText(*pressed)));
  }
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
  OfferProfile();
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

// Offered, never loaded unasked: the player may have meant other choices for this pad.
void Form2Window::OfferProfile() {
  const std::optional<ProfileEntry> match = ProfileForPad(AppFolder(), JoystickConnected() ? JoystickName() : std::string());
  ShowOffer(match ? QString::fromStdString(match->name) : QString());
}

void Form2Window::ShowOffer(const QString& profile) {
  offered_ = profile;
  const QString text = profile.isEmpty() ? QString() : QStringLiteral("Profile \"%1\" was saved with this pad").arg(profile);
  ui_->UseProfile->setVisible(!profile.isEmpty());
  ui_->UseProfile->setAccessibleName(QStringLiteral("Load profile \"%1\"").arg(profile));
  if (ui_->ProfileOffer->text() == text) return;
  SetReadableText(ui_->ProfileOffer, text);
  ui_->ProfileOffer->setAccessibleName(text);
  QAccessibleEvent event(ui_->ProfileOffer, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&event);
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
