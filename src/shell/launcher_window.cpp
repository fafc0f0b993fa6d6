#include "shell/launcher_window.h"

#include <QAccessibleWidget>

#include "shell/install_layout.h"
#include "shell/platform.h"
#include "shell/program_start.h"
#include "shell/safe_file.h"
#include "ui/accessibility.h"
#include "ui/artwork.h"
#include "ui/messages.h"
#include "forms/ui_Form3.h"

namespace velox::ui {

namespace {

// A plain top-level widget would reach screen readers as a pane; the launcher is
// the program's main window and is listed as one.
QAccessibleInterface* LauncherAccessible(const QString& className, QObject* object) {
  if (className != QLatin1String(Form3Window::staticMetaObject.className()) || !object->isWidgetType()) return nullptr;
  return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
}

}  // namespace

Form3Window::Form3Window(LauncherActions actions, QWidget* parent)
    : QWidget(parent), ui_(std::make_unique<Ui::Form3>()), actions_(std::move(actions)) {
  static const bool roleInstalled = (QAccessible::installFactory(LauncherAccessible), true);
  (void)roleInstalled;
  ui_->setupUi(this);
  NameWindow(this, QStringLiteral("Main menu"));
  ui_->Image1->setPixmap(DrawBanner(devicePixelRatioF()));
  ui_->Image2->setPixmap(DrawEmblem(devicePixelRatioF()));

  const auto wire = [this](QPushButton* button, const std::function<void()>& action, void (Form3Window::*handler)()) {
    button->setEnabled(static_cast<bool>(action));
    connect(button, &QPushButton::clicked, this, handler);
  };
  wire(ui_->Command2, actions_.showVideo, &Form3Window::Form3_Command2_Click);
  wire(ui_->Command5, actions_.showControllers, &Form3Window::Form3_Command5_Click);
  wire(ui_->Command4, actions_.showSettings, &Form3Window::Form3_Command4_Click);
  wire(ui_->Command1, actions_.showPatches, &Form3Window::Form3_Command1_Click);
  connect(ui_->Command3, &QPushButton::clicked, this, &Form3Window::Form3_Command3_Click);
  connect(ui_->Command6, &QPushButton::clicked, this, &Form3Window::Form3_Command6_Click);
  Form3_Form_Load();
}

Form3Window::~Form3Window() = default;

void Form3Window::Form3_Form_Load() {
  appFolder_ = AppFolder();
  ui_->Text1->setText(ToQString(appFolder_));
}

void Form3Window::Form3_Command1_Click() {
  if (actions_.showPatches) actions_.showPatches();
}
void Form3Window::Form3_Command2_Click() {
  if (actions_.showVideo) actions_.showVideo();
}
void Form3Window::Form3_Command4_Click() {
  if (actions_.showSettings) actions_.showSettings();
}
void Form3Window::Form3_Command5_Click() {
  if (actions_.showControllers) actions_.showControllers();
}

void Form3Window::Form3_Command3_Click() {
  const Status started = StartProgram(BarePath("VELOX.exe"));
  if (!started) {
    // Vanishing without a word would leave the user guessing why nothing started.
    ShowProblem(this, MessageFor(QStringLiteral("Velox HLE could not be started."), started.error(),
                                 QStringLiteral("The configurator stays open.")));
    return;
  }
  if (actions_.quit) actions_.quit();
}

void Form3Window::Form3_Command6_Click() {
  const std::filesystem::path help = BarePath("Veloxhlp.hlp");
  if (!FileExists(help)) {
    std::error_code ec;
    ShowProblem(this, MessageFor(QStringLiteral("The VeloxHLE guide could not be opened."),
                                 FileError{std::filesystem::absolute(help, ec), "no such file"}));
    return;
  }
  // The shell's own "Open" verb on Windows, the desktop's default program elsewhere.
  const Status opened = platform::OpenWithDefaultProgram(help);
  if (!opened) {
    ShowProblem(this, MessageFor(QStringLiteral("The VeloxHLE guide could not be opened."), opened.error()));
  }
}

}  // namespace velox::ui
