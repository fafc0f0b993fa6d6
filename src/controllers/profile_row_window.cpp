#include "controllers/profile_row_window.h"

#include <QAbstractButton>
#include <QComboBox>
#include <QKeyEvent>
#include <QSignalBlocker>

#include "shell/install_layout.h"
#include "ui/messages.h"

namespace velox::ui {

namespace {
QString Text(const std::string& utf8) { return QString::fromStdString(utf8); }
}  // namespace

ProfileRow::ProfileRow(const Controls& controls, MappingKind kind, Hooks hooks)
    : QObject(controls.dialog), c_(controls), kind_(kind), hooks_(std::move(hooks)) {
  connect(c_.load, &QAbstractButton::clicked, this, [this] {
    if (const ProfileEntry* chosen = Chosen()) Load(Text(chosen->name));
  });
  connect(c_.save, &QAbstractButton::clicked, this, &ProfileRow::SaveAs);
  connect(c_.remove, &QAbstractButton::clicked, this, &ProfileRow::Delete);
  c_.list->installEventFilter(this);
}

// Enter on the list loads the profile chosen there. Left to the dialog it would
// be "Ok", which saves the lists as they are: the opposite of what was meant.
bool ProfileRow::eventFilter(QObject* watched, QEvent* event) {
  if (watched != c_.list || event->type() != QEvent::KeyPress) return false;
  const auto* key = static_cast<QKeyEvent*>(event);
  if ((key->key() != Qt::Key_Return && key->key() != Qt::Key_Enter) || key->modifiers() & ~Qt::KeypadModifier) return false;
  if (c_.load->isEnabled()) c_.load->click();
  return true;
}

const ProfileEntry* ProfileRow::Chosen() const {
  const int at = c_.list->currentIndex();
  return at >= 0 && at < static_cast<int>(profiles_.size()) ? &profiles_[at] : nullptr;
}

void ProfileRow::Refresh(const QString& choose) {
  const QString keep = choose.isEmpty() ? c_.list->currentText() : choose;
  profiles_ = ListProfiles(AppFolder(), kind_);
  {
    const QSignalBlocker quiet(c_.list);
    c_.list->clear();
    for (const ProfileEntry& profile : profiles_) c_.list->addItem(Text(profile.name));
    const int at = c_.list->findText(keep, Qt::MatchExactly | Qt::MatchCaseSensitive);
    c_.list->setCurrentIndex(at >= 0 ? at : 0);
  }
  c_.load->setEnabled(!profiles_.empty());
  c_.remove->setEnabled(!profiles_.empty());
  emit ListChanged();
}

bool ProfileRow::Load(const QString& name) {
  Refresh(name);  // the folder may have changed since it was listed: files are the player's to copy
  const ProfileEntry* chosen = Chosen();
  const std::filesystem::path file =
      chosen && chosen->name == name.toStdString()
          ? chosen->file
          : ProfileFolder(AppFolder(), kind_) / PathFromUtf8(name.toStdString() + ".cfg");
  const Status loaded = hooks_.load(file);
  if (!loaded) {
    ShowProblem(c_.dialog, MessageFor(QStringLiteral("The profile \"%1\" could not be loaded.").arg(name), loaded.error(),
                                      QStringLiteral("The lists were left as they were.")));
  }
  return loaded.ok();
}

void ProfileRow::SaveAs() {
  QString name = Chosen() ? Text(Chosen()->name) : QString();
  for (;;) {
    const std::optional<QString> typed = AskText(c_.dialog, QStringLiteral("Save the choices shown as the profile named:"), name);
    if (!typed) return;
    name = *typed;
    const std::string utf8 = name.toStdString();
    if (const std::optional<std::string> problem = ProfileNameProblem(utf8)) {
      ShowProblem(c_.dialog, UserMessage{Text(*problem), {}, {}});
      continue;  // asked again, with what was typed
    }
    const std::optional<ProfileEntry> replaced = ProfileReplacedBy(AppFolder(), kind_, utf8);
    if (replaced && !AskYesNo(c_.dialog, QStringLiteral("A profile named \"%1\" already exists. Replace it with the choices shown?")
                                             .arg(Text(replaced->name)))) {
      continue;
    }
    const Status saved = SaveProfile(AppFolder(), kind_, utf8, hooks_.shownBytes());
    if (!saved) {
      ShowProblem(c_.dialog, MessageFor(QStringLiteral("The profile could not be saved."), saved.error(),
                                        QStringLiteral("No profile was changed.")));
      return;
    }
    Refresh(replaced ? Text(replaced->name) : name);
    return;
  }
}

void ProfileRow::Delete() {
  const ProfileEntry* chosen = Chosen();
  if (!chosen) return;
  const QString name = Text(chosen->name);
  if (!AskYesNo(c_.dialog, QStringLiteral("Delete the profile \"%1\"? Its file is removed for good.").arg(name))) return;
  if (const Status removed = DeleteProfile(*chosen); !removed) {
    ShowProblem(c_.dialog, MessageFor(QStringLiteral("The profile \"%1\" could not be deleted.").arg(name), removed.error()));
  }
  Refresh();
}

}  // namespace velox::ui
