#include "video/principal_window.h"

#include <QButtonGroup>
#include <QStringList>
#include <QRadioButton>
#include <system_error>

#include "shell/install_layout.h"
#include "ui/accessibility.h"
#include "ui/messages.h"
#include "forms/ui_principal.h"
#include "video/wrapper_catalogue.h"

namespace velox::ui {
namespace fs = std::filesystem;

namespace {

// Bare paths are relative; the user needs to know which folder they were in.
FileError Absolute(FileError error) {
  std::error_code ec;
  const fs::path full = fs::absolute(error.file, ec);
  if (!ec) error.file = full;
  return error;
}

QString FromCatalogue(std::string_view text) {
  return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
}

QString Quoted(std::string_view text) {
  return QStringLiteral("\"") + QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())) +
         QStringLiteral("\"");
}

}  // namespace

SingleWindow<PrincipalWindow>& PrincipalWindow::Instance() {
  static SingleWindow<PrincipalWindow> window;
  return window;
}

PrincipalWindow::PrincipalWindow(QWidget* parent)
    : VeloxDialog(parent), ui_(std::make_unique<Ui::principal>()), options_(new QButtonGroup(this)) {
  ui_->setupUi(this);
  NameWindow(this, QStringLiteral("Configure Video"));

  options_->setObjectName(QStringLiteral("Options"));
  for (const WrapperEntry& entry : WrapperCatalogue::Entries()) {
    auto* option = findChild<QRadioButton*>(QString::fromLatin1(entry.option.data(), entry.option.size()));
    Q_ASSERT(option);
    options_->addButton(option, entry.choice);
    // A screen reader reads the description with the option, before the label below follows it.
    option->setAccessibleDescription(FromCatalogue(entry.description));
    // Eight buttons read "Config": each is named after the wrapper it sets up.
    if (entry.setupButton) {
      QString button = FromCatalogue(*entry.setupButton);
      if (button == QLatin1String("config10")) button += QStringLiteral("_%1").arg(entry.setupMember);
      if (auto* setup = findChild<QPushButton*>(button)) {
        setup->setAccessibleName(QStringLiteral("Config: ") + FromCatalogue(entry.caption));
      }
    }
  }
  QList<QAbstractButton*> inTabOrder;
  for (const char* name : {"Option13", "Option1", "Option2", "Option3", "Option4", "Option5", "Option6", "Option7",
                           "Option8", "Option14", "Option9", "Option10", "Option11", "Option12"}) {
    inTabOrder << findChild<QRadioButton*>(QLatin1String(name));
  }
  MakeCheckedOptionTheTabStop(inTabOrder);
  MakeReadable(ui_->comment);
  connect(options_, &QButtonGroup::idToggled, this, [this](int choice, bool checked) {
    if (checked) principal_Option_Click(choice);
  });

  // Every row as tall as a "Config" button, so that both columns line up evenly.
  for (int row = 0; row < WrapperCatalogue::kRows; ++row) {
    ui_->choiceGrid->setRowMinimumHeight(row, ui_->config1->sizeHint().height());
  }
  ui_->comment->setTextFormat(Qt::PlainText);
  // Room for the longest description, so that the window does not jump as the selection moves.
  ui_->comment->setMinimumHeight(ui_->comment->fontMetrics().lineSpacing() * 3);

  connect(ui_->config1, &QPushButton::clicked, this, &PrincipalWindow::principal_config1_Click);
  connect(ui_->config3, &QPushButton::clicked, this, &PrincipalWindow::principal_config3_Click);
  connect(ui_->config4, &QPushButton::clicked, this, &PrincipalWindow::principal_config4_Click);
  connect(ui_->config5, &QPushButton::clicked, this, &PrincipalWindow::principal_config5_Click);
  connect(ui_->config6, &QPushButton::clicked, this, &PrincipalWindow::principal_config6_Click);
  connect(ui_->config11, &QPushButton::clicked, this, &PrincipalWindow::principal_config11_Click);
  ui_->config10->setId(ui_->config10_0, 0);
  ui_->config10->setId(ui_->config10_1, 1);
  connect(ui_->config10, &QButtonGroup::idClicked, this, &PrincipalWindow::principal_config10_Click);
  connect(ui_->Command1, &QPushButton::clicked, this, &PrincipalWindow::principal_Command1_Click);
  connect(ui_->Command2, &QPushButton::clicked, this, &PrincipalWindow::principal_Command2_Click);
}

PrincipalWindow::~PrincipalWindow() = default;

void PrincipalWindow::principal_Form_Load() {
  appFolder_ = AppFolder();
  const VideoChoice choice = ReadVideoChoice(appFolder_);
  if (choice) {
    options_->button(*choice)->setChecked(true);
  } else if (QAbstractButton* checked = options_->checkedButton()) {
    options_->setExclusive(false);
    checked->setChecked(false);
    options_->setExclusive(true);
  }
}

void PrincipalWindow::principal_Option_Click(int choice) {
  if (const WrapperEntry* entry = WrapperCatalogue::ByChoice(choice)) {
    SetReadableText(ui_->comment, FromCatalogue(entry->description));
  }
}

VideoChoice PrincipalWindow::SelectedChoice() const {
  const int id = options_->checkedId();
  return id > 0 ? VideoChoice(id) : std::nullopt;
}

void PrincipalWindow::StartSetup(std::string_view button) {
  const Status started = StartSetupProgram(button);
  if (!started) {
    ShowProblem(this, MessageFor(QStringLiteral("The wrapper's setup program could not be started."),
                                 Absolute(started.error()), QStringLiteral("Nothing was installed or changed.")));
  }
}

void PrincipalWindow::principal_config1_Click() { StartSetup("config1"); }
void PrincipalWindow::principal_config3_Click() { StartSetup("config3"); }
void PrincipalWindow::principal_config4_Click() { StartSetup("config4"); }
void PrincipalWindow::principal_config5_Click() { StartSetup("config5"); }
void PrincipalWindow::principal_config6_Click() { StartSetup("config6"); }
// Both members start the same program.
void PrincipalWindow::principal_config10_Click(int /*index*/) { StartSetup("config10"); }
void PrincipalWindow::principal_config11_Click() { StartSetup("config11"); }

void PrincipalWindow::principal_Command1_Click() {
  const VideoChoice choice = SelectedChoice();
  VideoInstallSteps done;
  const Status installed = InstallVideoChoice(appFolder_, choice, &done);
  if (!installed) {
    // Staying open lets the user put the file right and press "Ok" again.
    ReportInstallFailure(choice, installed.error(), done);
    return;
  }
  close();
}

void PrincipalWindow::principal_Command2_Click() { close(); }

void PrincipalWindow::ReportInstallFailure(VideoChoice choice, const FileError& error,
                                           const VideoInstallSteps& done) {
  const WrapperEntry* entry = choice ? WrapperCatalogue::ByChoice(*choice) : nullptr;
  const bool hasLibrary = entry && entry->librarySource;

  // What is already changed, then what is not: the user must not be told "nothing" when files went.
  QStringList changed;
  if (done.configIniDeleted) changed << QStringLiteral("Config.ini was deleted");
  if (done.openGlideIniDeleted) changed << QStringLiteral("OpenGLide.ini was deleted");
  if (done.libraryInstalled && hasLibrary) {
    changed << QStringLiteral("glide2x.dll now holds the library of %1").arg(Quoted(entry->caption));
  }
  if (done.libraryRemoved) {
    changed << (done.libraryInstalled ? QStringLiteral("other copies of glide2x.dll were deleted")
                                      : QStringLiteral("glide2x.dll was deleted"));
  }
  QString state = changed.isEmpty() ? QStringLiteral("Nothing was changed in the current folder.")
                                    : QStringLiteral("Already changed in the current folder: %1.")
                                          .arg(changed.join(QStringLiteral("; ")));
  if (!done.libraryInstalled && !done.libraryRemoved && !changed.isEmpty()) {
    state += QStringLiteral(" glide2x.dll was left as it was.");
  }
  state += done.choiceFileExisted
               ? QStringLiteral(" The choice file still holds the earlier choice.")
               : QStringLiteral(" No choice file was written; the dialog will show \"3DFX Mode (default)\" "
                                "when it opens next.");

  if (error.file == VideoChoiceFile(appFolder_)) {
    ShowProblem(this, MessageFor(QStringLiteral("The video choice could not be recorded."), error, state));
    return;
  }
  if (hasLibrary && error.file == JoinedPath(appFolder_, *entry->librarySource)) {
    ShowProblem(
        this, MessageFor(QStringLiteral("The library of the wrapper %1 could not be read.").arg(Quoted(entry->caption)),
                         error, state));
    return;
  }
  const QString problem = hasLibrary
                              ? QStringLiteral("The wrapper %1 could not be installed.").arg(Quoted(entry->caption))
                              : QStringLiteral("The files of the earlier wrapper could not be removed.");
  // The emulator keeps the library open for as long as it runs.
  FileError shown = Absolute(error);
  const QString name = ToQString(error.file.filename());
  if (error.inUse && name.compare(QStringLiteral("glide2x.dll"), Qt::CaseInsensitive) == 0) {
    shown.cause += "; most likely Velox HLE is running: close Velox HLE, then choose again";
  }
  ShowProblem(this, MessageFor(problem, shown, state));
}

}  // namespace velox::ui
