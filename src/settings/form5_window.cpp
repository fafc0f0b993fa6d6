#include "settings/form5_window.h"

#include <QStringList>
#include <limits>

#include "settings/emulator_ini.h"
#include "settings/folder_picker_window.h"
#include "shell/install_layout.h"
#include "shell/text_encoding.h"
#include "ui/accessibility.h"
#include "ui/messages.h"
#include "forms/ui_Form5.h"

namespace velox::ui {

namespace {

const QStringList& Resolutions() {
  static const QStringList list = {"320 x 240",  "512 x 384",  "640 x 480",   "800 x 600",
                                   "1024 x 768", "1152 x 864", "1280 x 1024", "1600 x 1200"};
  return list;
}

QString FromFile(std::string_view bytes) {
  const std::u16string text = DecodeWindows1252(bytes);
  return QString::fromUtf16(text.data(), static_cast<qsizetype>(text.size()));
}

std::filesystem::path SettingsFile() { return JoinedPath(AppFolder(), "\\velox.ini"); }
std::filesystem::path TemporaryFile() { return JoinedPath(AppFolder(), "\\-velox-.ini"); }

// Chooses the entry equal to each value in turn; values the list lacks leave the choice as it was.
void ChooseLast(QComboBox* combo, const std::vector<std::string>& values) {
  for (const std::string& value : values) {
    const int index = combo->findText(FromFile(value), Qt::MatchExactly | Qt::MatchCaseSensitive);
    if (index >= 0) combo->setCurrentIndex(index);
  }
}

// One value in shown form, or none while the list shows no choice (the file's lines then stay).
std::vector<std::string> Chosen(const QComboBox* combo) {
  if (combo->currentIndex() < 0) return {};
  return {combo->currentText().toStdString()};
}

}  // namespace

Form5Window::Form5Window(QWidget* parent) : VeloxDialog(parent), ui_(std::make_unique<Ui::Form5>()) {
  ui_->setupUi(this);
  NameWindow(this, QStringLiteral("Configure Velox HLE"));
  // A folder may be as long as the file holds it; the box's own limit would cut it silently.
  for (QLineEdit* box : {ui_->Text1, ui_->Text2}) box->setMaxLength(std::numeric_limits<int>::max());
  connect(ui_->Command1, &QPushButton::clicked, this, &Form5Window::Form5_Command1_Click);
  connect(ui_->Command2, &QPushButton::clicked, this, &Form5Window::Form5_Command2_Click);
  connect(ui_->Command3, &QPushButton::clicked, this, &Form5Window::Form5_Command3_Click);
  connect(ui_->Command4, &QPushButton::clicked, this, &Form5Window::Form5_Command4_Click);
  connect(ui_->Check1, &QCheckBox::toggled, this, &Form5Window::Form5_Check1_Click);
  connect(ui_->Check2, &QCheckBox::toggled, this, &Form5Window::Form5_Check2_Click);
}

Form5Window::~Form5Window() = default;

SingleWindow<Form5Window>& Form5Window::Instance() {
  static SingleWindow<Form5Window> instance;
  return instance;
}

QLineEdit* Form5Window::Text1() const { return ui_->Text1; }
QLineEdit* Form5Window::Text2() const { return ui_->Text2; }

void Form5Window::Form5_Form_Load() {
  ui_->Combo1->clear();
  ui_->Combo1->addItems(Resolutions());
  ui_->Combo1->setCurrentIndex(-1);
  ui_->Combo2->clear();
  ui_->Combo2->addItems(Resolutions());
  ui_->Combo2->setCurrentIndex(-1);

  const Result<GeneralSettings> read = ReadGeneralSettings(SettingsFile());
  read_ = read.ok();
  shownText1_ = ui_->Text1->text();
  shownText2_ = ui_->Text2->text();
  if (!read) {
    ShowProblem(this, MessageFor(QStringLiteral("The emulator settings could not be read."), read.error(),
                                 QStringLiteral("The dialog shows no values from the file.")));
    return;
  }
  const GeneralSettings& settings = *read;
  if (settings.rompath) ui_->Text1->setText(FromFile(*settings.rompath));
  if (settings.savepath) ui_->Text2->setText(FromFile(*settings.savepath));
  ChooseLast(ui_->Combo1, settings.resolution);
  ChooseLast(ui_->Combo2, settings.viewport);
  if (settings.sound == SoundSetting::kOn) ui_->Check1->setChecked(true);
  if (settings.sound == SoundSetting::kOff) ui_->Check2->setChecked(true);
  shownText1_ = ui_->Text1->text();
  shownText2_ = ui_->Text2->text();
}

void Form5Window::Form5_Command1_Click() {
  Form6Window::Instance().Show([this](Form6Window& picker) { picker.SetBox(ui_->Text1); });
}
void Form5Window::Form5_Command2_Click() {
  Form7Window::Instance().Show([this](Form7Window& picker) { picker.SetBox(ui_->Text2); });
}

void Form5Window::Form5_Command3_Click() {
  GeneralSettings settings;
  struct Folder {
    QLineEdit* box;
    const QString& shown;
    const char* what;
    std::optional<std::string>* value;
  } folders[] = {{ui_->Text1, shownText1_, "Roms Folder", &settings.rompath},
                 {ui_->Text2, shownText2_, "Saves Folder", &settings.savepath}};
  for (const Folder& folder : folders) {
    const QString text = folder.box->text();
    // After a failed load the box holds no value of the file: only what the user entered is written.
    if (!read_ && text == folder.shown) continue;
    const auto refuse = [&](const QString& problem) {
      folder.box->setFocus();
      ShowProblem(this, UserMessage{problem,
                                    ToQString(SettingsFile()),
                                    QStringLiteral("Nothing was written; the dialog stays open with your values.")});
    };
    const std::u16string_view utf16(reinterpret_cast<const char16_t*>(text.utf16()), static_cast<size_t>(text.size()));
    if (const std::optional<std::string_view> problem = LineBreakIn(utf16)) {
      // Not quoted: the break itself would tear the message apart.
      refuse(QStringLiteral("The %1 holds %2; a folder must fit on one line of velox.ini.")
                 .arg(QLatin1String(folder.what),
                      QString::fromLatin1(problem->data(), static_cast<qsizetype>(problem->size()))));
      return;
    }
    std::optional<std::string> bytes = EncodeWindows1252(utf16);
    if (!bytes) {
      refuse(QStringLiteral("The %1 \"%2\" holds a character that velox.ini cannot store.")
                 .arg(QLatin1String(folder.what), text));
      return;
    }
    *folder.value = std::move(*bytes);
  }
  settings.resolution = Chosen(ui_->Combo1);
  settings.viewport = Chosen(ui_->Combo2);
  if (ui_->Check2->isChecked()) {
    settings.sound = SoundSetting::kOff;
  } else if (ui_->Check1->isChecked()) {
    settings.sound = SoundSetting::kOn;
  }

  CloseOrReport(this, WriteGeneralSettings(SettingsFile(), TemporaryFile(), settings),
                QStringLiteral("The emulator settings could not be saved."),
                QStringLiteral("velox.ini was left as it was; the dialog stays open with your values."));
}

void Form5Window::Form5_Command4_Click() { close(); }

// The pair behaves as one choice: a box that changes state moves the check to or from its partner.
void Form5Window::Form5_Check1_Click() { ui_->Check2->setChecked(!ui_->Check1->isChecked()); }
void Form5Window::Form5_Check2_Click() { ui_->Check1->setChecked(!ui_->Check2->isChecked()); }

}  // namespace velox::ui
