#include "settings/form1_window.h"

#include <QApplication>
#include <QListView>
#include <QSignalBlocker>
#include <algorithm>

#include "settings/emulator_ini.h"
#include "shell/excerpt.h"
#include "shell/install_layout.h"
#include "shell/text_encoding.h"
#include "ui/accessibility.h"
#include "ui/messages.h"
#include "forms/ui_Form1.h"

namespace velox::ui {

namespace {

// Rows and labels show at most this many characters: laying out a line of
// megabytes would freeze the window for seconds, and no one reads that far.
constexpr size_t kShownLength = 400;

// The text as shown, cut with an ellipsis when long; the file's own bytes are
// kept apart, so that what is written back is never the shortened text.
QString Shown(std::string_view bytes) {
  // One byte is one character: what lies past the first kShownLength + 1 cannot change the cut.
  return QString::fromStdU16String(Shortened(DecodeWindows1252(bytes.substr(0, kShownLength + 1)), kShownLength));
}

std::filesystem::path SettingsFile() { return BarePath("velox.ini"); }
std::filesystem::path TemporaryFile() { return BarePath("-velox-.ini"); }

// Bare paths mean little to a user: name the file as it is found from here.
FileError Absolute(FileError error) {
  std::error_code ec;
  const std::filesystem::path full = std::filesystem::absolute(error.file, ec);
  if (!ec) error.file = full;
  return error;
}

}  // namespace

Form1Window::Form1Window(QWidget* parent) : VeloxDialog(parent), ui_(std::make_unique<Ui::Form1>()) {
  ui_->setupUi(this);
  // Titles and comments come from the file: "<b>" in them is text, not markup.
  ui_->Label3->setTextFormat(Qt::PlainText);
  ui_->Label4->setTextFormat(Qt::PlainText);
  NameWindow(this, QStringLiteral("Configure Patches/Cheats"));
  // The title and comment are data: readable, and reachable by Tab once a game shows them.
  MakeReadable(ui_->Label3);
  MakeReadable(ui_->Label4);
  HideWhileEmpty(ui_->Label1);
  HideWhileEmpty(ui_->Label2);
  // Tabbing into the entries selects one, so that Enable or Disable can act at once.
  connect(qApp, &QApplication::focusChanged, this, [this](QWidget*, QWidget* now) {
    if (now == ui_->List1 && ui_->List1->selectedItems().isEmpty() && ui_->List1->count() > 0) {
      ui_->List1->setCurrentRow(std::max(ui_->List1->currentRow(), 0), QItemSelectionModel::ClearAndSelect);
    }
  });
  // Thousands of games: rows of one height let the list skip measuring each of them.
  if (auto* view = qobject_cast<QListView*>(ui_->Combo1->view())) view->setUniformItemSizes(true);
  connect(ui_->Combo1, &QComboBox::activated, this, &Form1Window::Form1_Combo1_Click);
  connect(ui_->List1, &QListWidget::itemSelectionChanged, this, &Form1Window::Form1_List1_Click);
  connect(ui_->Command1, &QPushButton::clicked, this, &Form1Window::Form1_Command1_Click);
  connect(ui_->Command2, &QPushButton::clicked, this, &Form1Window::Form1_Command2_Click);
}

Form1Window::~Form1Window() = default;

SingleWindow<Form1Window>& Form1Window::Instance() {
  static SingleWindow<Form1Window> instance;
  return instance;
}

void Form1Window::Form1_Form_Load() {
  ui_->Command1->setText(QStringLiteral("&Enable"));
  ui_->Command2->setText(QStringLiteral("&Disable"));
  ui_->Combo1->clear();
  games_.clear();

  Result<std::vector<std::string>> games = ListGames(SettingsFile());
  if (!games) {
    ui_->Combo1->setPlaceholderText(QStringLiteral("velox.ini could not be read"));
    ui_->Combo1->setEnabled(false);
    ShowProblem(this, MessageFor(QStringLiteral("The games could not be listed."), Absolute(games.error()),
                                 QStringLiteral("Nothing was changed.")));
    return;
  }
  games_ = std::move(games).value();
  QStringList names;
  names.reserve(static_cast<qsizetype>(games_.size()));
  for (const std::string& name : games_) names << Shown(name);
  ui_->Combo1->setPlaceholderText(names.isEmpty() ? QStringLiteral("velox.ini lists no game") : QString());
  ui_->Combo1->addItems(names);
  ui_->Combo1->setCurrentIndex(-1);
}

void Form1Window::FillGameView() {
  {
    const QSignalBlocker quiet(ui_->List1);
    ui_->List1->clear();
  }
  entries_.clear();
  SetReadableText(ui_->Label3, {});
  SetReadableText(ui_->Label4, {});
  ui_->Command1->setEnabled(false);
  ui_->Command2->setEnabled(false);

  const int chosen = ui_->Combo1->currentIndex();
  if (chosen < 0 || static_cast<size_t>(chosen) >= games_.size()) return;
  Result<GameSection> game = ReadGame(SettingsFile(), games_[static_cast<size_t>(chosen)]);
  if (!game) {
    ShowProblem(this, MessageFor(QStringLiteral("The game could not be shown."), Absolute(game.error())));
    return;
  }
  QStringList rows;
  rows.reserve(static_cast<qsizetype>(game->entries.size()));
  for (const std::string& entry : game->entries) rows << Shown(entry);
  {
    const QSignalBlocker quiet(ui_->List1);
    ui_->List1->addItems(rows);
  }
  SetReadableText(ui_->Label4, Shown(game->comment));
  SetReadableText(ui_->Label3, Shown(game->title));
  entries_ = std::move(game).value().entries;
}

void Form1Window::Form1_Combo1_Click() {
  SetReadableText(ui_->Label1, QStringLiteral("Title :"));
  SetReadableText(ui_->Label2, QStringLiteral("Comments :"));

  FillGameView();
}

void Form1Window::Form1_List1_Click() {
  ui_->Command1->setEnabled(false);
  ui_->Command2->setEnabled(false);
  const QList<QListWidgetItem*> selected = ui_->List1->selectedItems();
  if (selected.isEmpty()) return;
  const int row = ui_->List1->row(selected.front());
  if (row < 0 || static_cast<size_t>(row) >= entries_.size()) return;
  switch (GetEntryState(entries_[static_cast<size_t>(row)])) {
    case EntryState::kActive:
      ui_->Command2->setEnabled(true);
      break;
    case EntryState::kSwitchable:
      ui_->Command1->setEnabled(true);
      break;
    case EntryState::kPlainComment:
      break;
  }
}

void Form1Window::Form1_Command1_Click() { Switch(true); }
void Form1Window::Form1_Command2_Click() { Switch(false); }

void Form1Window::Switch(bool on) {
  const QList<QListWidgetItem*> selected = ui_->List1->selectedItems();
  const int chosen = ui_->Combo1->currentIndex();
  if (selected.isEmpty() || chosen < 0) return;
  const int row = ui_->List1->row(selected.front());
  if (row < 0 || static_cast<size_t>(row) >= entries_.size()) return;

  const Status switched = SwitchEntry(SettingsFile(), TemporaryFile(), games_[static_cast<size_t>(chosen)],
                                      entries_[static_cast<size_t>(row)], on);
  if (!switched) {
    ShowProblem(this, MessageFor(on ? QStringLiteral("The entry could not be enabled.")
                                    : QStringLiteral("The entry could not be disabled."),
                                 Absolute(switched.error()), QStringLiteral("velox.ini was left as it was.")));
  }
  FillGameView();
  // The user stays where they were: on the same entry, selected, ready for the next switch.
  if (row < ui_->List1->count()) {
    ui_->List1->setCurrentRow(row, QItemSelectionModel::ClearAndSelect);
    ui_->List1->setFocus(Qt::OtherFocusReason);
  }
}

}  // namespace velox::ui
