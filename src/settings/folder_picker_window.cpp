#include "settings/folder_picker_window.h"

#include <QDir>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QStyle>
#include <algorithm>

#include "settings/emulator_ini.h"
#include "shell/platform.h"
#include "ui/accessibility.h"
#include "ui/messages.h"
#include "forms/ui_FolderPicker.h"

namespace velox::ui {

namespace {

constexpr int kPathRole = Qt::UserRole;

std::filesystem::path ToPath(const QString& text) { return std::filesystem::path(text.toStdU16String()); }

QStringList Drives() {
  QStringList drives;
  for (const std::filesystem::path& drive : platform::ListDrives()) drives << ToQString(drive);
  return drives;
}
QString DriveOf(const QString& folder) { return ToQString(platform::DriveOf(ToPath(folder))); }
QString DriveRoot(const QString& drive) { return ToQString(platform::DriveRoot(ToPath(drive))); }

// The box while its window is open: a closed window only waits for its deletion.
QLineEdit* OpenBox(const QPointer<QLineEdit>& box) { return box && box->window()->isVisible() ? box.data() : nullptr; }

}  // namespace

FolderPickerWindow::FolderPickerWindow(const QString& objectName, const QString& caption, QWidget* parent)
    : VeloxDialog(parent), ui_(std::make_unique<Ui::FolderPicker>()) {
  ui_->setupUi(this);
  setObjectName(objectName);
  ui_->Frame1->setTitle(caption);
  ui_->Dir1->setAccessibleName(caption);
  NameWindow(this, caption);
  // Folders open by double click only; arrows would promise a collapse that never happens.
  ui_->Dir1->setStyleSheet(QStringLiteral("QTreeView::branch { image: none; border-image: none; }"));
  ui_->Dir1->installEventFilter(this);
  connect(ui_->Dir1, &QTreeWidget::itemDoubleClicked, this, [this](QTreeWidgetItem* item) { OpenItem(item); });
  connect(ui_->Drive1, &QComboBox::currentIndexChanged, this, [this] { DriveChanged(); });
  connect(ui_->Command1, &QPushButton::clicked, this, [this] { OkClicked(); });
  connect(ui_->Command2, &QPushButton::clicked, this, [this] { CancelClicked(); });
}

FolderPickerWindow::~FolderPickerWindow() = default;

QString FolderPickerWindow::FallbackFolder() { return ToQString(platform::FallbackFolder()); }

QString FolderPickerWindow::FallbackDrive() { return ToQString(platform::DriveOf(platform::FallbackFolder())); }

QString FolderPickerWindow::CurrentFolder() const { return QDir::toNativeSeparators(folder_); }
QString FolderPickerWindow::CurrentDrive() const { return ui_->Drive1->currentText(); }

bool FolderPickerWindow::OpenFolder(const QString& folder) {
  if (folder.isEmpty()) return false;
  const QFileInfo info(QDir::fromNativeSeparators(folder));
  if (!info.isDir() || !info.isReadable() || !info.isExecutable()) return false;
  const QString path = QDir::cleanPath(info.absoluteFilePath());
  QDir dir(path);
  if (!dir.isReadable()) return false;

  // The ancestors from the root down to the folder, then its subfolders.
  QStringList chain;
  for (QDir up(path);; ) {
    chain.prepend(up.absolutePath());
    if (up.isRoot() || !up.cdUp()) break;
  }
  const QIcon open = style()->standardIcon(QStyle::SP_DirOpenIcon);
  const QIcon closed = style()->standardIcon(QStyle::SP_DirClosedIcon);

  ui_->Dir1->clear();
  QTreeWidgetItem* parent = nullptr;
  for (const QString& level : chain) {
    const QDir levelDir(level);
    const QString name = levelDir.isRoot() ? QDir::toNativeSeparators(level) : QFileInfo(level).fileName();
    auto* item = parent ? new QTreeWidgetItem(parent, {name}) : new QTreeWidgetItem(ui_->Dir1, {name});
    item->setIcon(0, open);
    item->setData(0, kPathRole, level);
    parent = item;
  }
  const QStringList subfolders =
      dir.entryList(QDir::Dirs | QDir::NoDotAndDotDot, QDir::Name | QDir::IgnoreCase | QDir::LocaleAware);
  QList<QTreeWidgetItem*> children;
  children.reserve(subfolders.size());
  for (const QString& name : subfolders) {
    auto* item = new QTreeWidgetItem({name});
    item->setIcon(0, closed);
    item->setData(0, kPathRole, dir.filePath(name));
    children << item;
  }
  parent->addChildren(children);
  ui_->Dir1->expandAll();
  ui_->Dir1->setCurrentItem(parent);
  ui_->Dir1->scrollToItem(parent, QAbstractItemView::PositionAtTop);
  folder_ = path;
  ui_->Command1->setEnabled(true);
  return true;
}

void FolderPickerWindow::OpenItem(QTreeWidgetItem* item) {
  if (!item) return;
  const QString target = item->data(0, kPathRole).toString();
  if (!OpenFolder(target)) {
    ShowProblem(this, UserMessage{QStringLiteral("The folder could not be opened."), QDir::toNativeSeparators(target),
                                  QStringLiteral("The folder list stays where it was.")});
  }
}

void FolderPickerWindow::ChooseDrive(const QString& drive) {
  int index = ui_->Drive1->findText(drive, Qt::MatchExactly);
  if (index < 0) {
    ui_->Drive1->addItem(drive);
    index = ui_->Drive1->count() - 1;
  }
  ui_->Drive1->setCurrentIndex(index);
}

void FolderPickerWindow::FallBack() {
  if (!OpenFolder(FallbackFolder())) {
    // Not even the fallback opens: nothing can be chosen.
    ui_->Dir1->clear();
    folder_.clear();
    ui_->Command1->setEnabled(false);
  }
  ChooseDrive(FallbackDrive());
}

void FolderPickerWindow::PickerLoad() {
  {
    const QSignalBlocker quiet(ui_->Drive1);
    ui_->Drive1->clear();
    ui_->Drive1->addItems(Drives());
    const int current = ui_->Drive1->findText(DriveOf(QDir::currentPath()), Qt::MatchExactly);
    ui_->Drive1->setCurrentIndex(std::max(current, 0));
  }
  QLineEdit* box = OpenBox(box_);
  if (!OpenFolder(box ? box->text() : QString())) FallBack();
}

void FolderPickerWindow::PickerDriveChange() {
  if (!OpenFolder(DriveRoot(ui_->Drive1->currentText()))) FallBack();
}

void FolderPickerWindow::PickerOk() {
  const std::u16string folder = CurrentFolder().toStdU16String();
  if (const std::optional<std::string_view> problem = LineBreakIn(folder)) {
    // Such a name (possible on Linux) cannot stand on one line of velox.ini.
    ShowProblem(this, UserMessage{QStringLiteral("The name of this folder holds %1, so velox.ini cannot store it. "
                                                 "Please choose or rename another folder.")
                                      .arg(QLatin1String(problem->data(), static_cast<qsizetype>(problem->size()))),
                                  {},
                                  QStringLiteral("The settings dialog's box was left as it was.")});
    return;
  }
  QLineEdit* box = OpenBox(box_);
  if (!box) {
    ShowProblem(this, UserMessage{QStringLiteral("The folder %1 was not taken: the general settings dialog "
                                                 "has been closed.")
                                      .arg(CurrentFolder()),
                                  {},
                                  QStringLiteral("No setting was changed.")});
  } else {
    box->setText(CurrentFolder());
  }
  close();
}

void FolderPickerWindow::PickerCancel() { close(); }

bool FolderPickerWindow::eventFilter(QObject* watched, QEvent* event) {
  // Enter in the folder list opens the folder, as a double click does, instead of confirming.
  if (watched == ui_->Dir1 && event->type() == QEvent::KeyPress) {
    const int key = static_cast<QKeyEvent*>(event)->key();
    if (key == Qt::Key_Return || key == Qt::Key_Enter) {
      OpenItem(ui_->Dir1->currentItem());
      return true;
    }
  }
  return VeloxDialog::eventFilter(watched, event);
}

Form6Window::Form6Window(QWidget* parent)
    : FolderPickerWindow(QStringLiteral("Form6"), QStringLiteral("Roms Folder"), parent) {}

SingleWindow<Form6Window>& Form6Window::Instance() {
  static SingleWindow<Form6Window> instance;
  return instance;
}

Form7Window::Form7Window(QWidget* parent)
    : FolderPickerWindow(QStringLiteral("Form7"), QStringLiteral("Saves Folder"), parent) {}

SingleWindow<Form7Window>& Form7Window::Instance() {
  static SingleWindow<Form7Window> instance;
  return instance;
}

}  // namespace velox::ui
