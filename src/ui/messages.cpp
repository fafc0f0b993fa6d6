#include "ui/messages.h"

#include <QMessageBox>
#include <QWidget>

#include "ui/velox_dialog.h"

namespace velox::ui {

namespace {
MessageSink& Sink() {
  static MessageSink sink;
  return sink;
}
}  // namespace

// Never through string(): with MinGW that is the ANSI code page, which has no "ビ".
QString ToQString(const std::filesystem::path& path) { return QString::fromStdU16String(path.u16string()); }

QString FormatUserMessage(const UserMessage& message) {
  QString text = message.problem;
  if (!message.file.isEmpty()) text += QStringLiteral("\n\nFile: ") + message.file;
  if (!message.unchanged.isEmpty()) text += QStringLiteral("\n\n") + message.unchanged;
  return text;
}

UserMessage MessageFor(const QString& problem, const FileError& error, const QString& unchanged) {
  QString sentence = problem;
  if (!error.cause.empty()) {
    if (sentence.endsWith(QLatin1Char('.'))) sentence.chop(1);
    QString cause = QString::fromStdString(error.cause);
    sentence += QStringLiteral(": ") + cause + QLatin1Char('.');
  }
  return UserMessage{sentence, ToQString(error.file), unchanged};
}

void ShowProblem(QWidget* parent, const UserMessage& message) {
  const QString title = QString::fromLatin1(kWindowCaption);
  const QString text = FormatUserMessage(message);
  if (Sink()) {
    Sink()(title, text);
    return;
  }
  QMessageBox::warning(parent, title, text);
}

void CloseOrReport(QWidget* window, const Status& written, const QString& problem, const QString& unchanged) {
  if (written) {
    window->close();
    return;
  }
  ShowProblem(window, MessageFor(problem, written.error(), unchanged));
}

void SetMessageSinkForTesting(MessageSink sink) { Sink() = std::move(sink); }

}  // namespace velox::ui
