#include "controllers/form4_window.h"

#include "shell/install_layout.h"
#include "ui/accessibility.h"
#include "ui/messages.h"
#include "forms/ui_Form4.h"

namespace velox::ui {

Form4Window::Form4Window(QWidget* parent) : VeloxDialog(parent), ui_(std::make_unique<Ui::Form4>()) {
  ui_->setupUi(this);
  NameWindow(this, QStringLiteral("Configure Keyboard"));
  combos_ = AttachCombos(this, ui_->Image1);
  connect(ui_->Command1, &QPushButton::clicked, this, &Form4Window::Form4_Command1_Click);
  connect(ui_->Command2, &QPushButton::clicked, this, &Form4Window::Form4_Command2_Click);
  press_ = new PressMapping({this, combos_, ui_->Image1, ui_->MapAllButton, ui_->Command1, ui_->WalkStatus},
                            WalkDevice::Keyboard, QString(QLatin1Char(kNoKey)), false);
  const auto load = [this](const std::filesystem::path& file) -> Status {
    const Result<KeyboardMapping> profile = ReadKeyboardProfile(file);
    if (!profile) return profile.error();
    for (size_t k = 0; k < combos_.size(); ++k) combos_[k]->setCurrentText(QString(QLatin1Char(profile->keys[k])));
    return {};
  };
  profiles_ = new ProfileRow({this, ui_->ProfileList, ui_->LoadProfile, ui_->SaveProfile, ui_->DeleteProfile},
                             MappingKind::Keyboard, {[this] { return KeyboardProfileBytes(ShownMapping()); }, load});
}

Form4Window::~Form4Window() = default;

SingleWindow<Form4Window>& Form4Window::Instance() {
  static SingleWindow<Form4Window> instance;
  return instance;
}

void Form4Window::Form4_Form_Load() {
  for (QComboBox* combo : combos_) {
    combo->clear();
    for (char name : KeyNames()) combo->addItem(QString(QLatin1Char(name)));
    combo->setCurrentText(QString(QLatin1Char(kNoKey)));
  }
  const KeyboardMapping mapping = ReadKeyboardMapping(AppFolder());
  for (size_t k = 0; k < combos_.size(); ++k) combos_[k]->setCurrentText(QString(QLatin1Char(mapping.keys[k])));
  press_->UpdateConflicts();
  profiles_->Refresh();
}

KeyboardMapping Form4Window::ShownMapping() const {
  KeyboardMapping mapping;
  for (size_t k = 0; k < combos_.size(); ++k) {
    const QString text = combos_[k]->currentText();
    if (text.size() == 1 && IsKeyName(text.toStdString())) mapping.keys[k] = text.at(0).toLatin1();
  }
  return mapping;
}

void Form4Window::Form4_Command1_Click() {
  CloseOrReport(this, WriteKeyboardMapping(AppFolder(), ShownMapping()), QStringLiteral("The keyboard mapping could not be saved."),
                QStringLiteral("The keyboard mapping file was left unchanged; your choices are still shown."));
}

void Form4Window::Form4_Command2_Click() { close(); }

}  // namespace velox::ui
