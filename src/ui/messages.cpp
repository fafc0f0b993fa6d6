#include "ui/messages.h"

#include <QMessageBox>
#include <QWidget>
#include <algorithm>

#include "shell/excerpt.h"
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

QString ShortenQuotes(const QString& text) {
  QString out;
  out.reserve(std::min<qsizetype>(text.size(), 4096));
  qsizetype from = 0;
  while (from < text.size()) {
    const qsizetype open = text.indexOf(QLatin1Char('"'), from);
    if (open < 0) break;
    qsizetype close = text.indexOf(QLatin1Char('"'), open + 1);
    if (close < 0) close = text.size();
    out += QStringView(text).mid(from, open + 1 - from);
    const QStringView quoted = QStringView(text).mid(open + 1, close - open - 1);
    out += QString::fromStdU16String(
        Shortened(std::u16string_view(quoted.utf16(), static_cast<size_t>(quoted.size())), kExcerptLength));
    if (close < text.size()) out += QLatin1Char('"');
    from = close + 1;
  }
  if (from < text.size()) out += QStringView(text).mid(from);
  return out;
}

QString FormatUserMessage(const UserMessage& message) {
  QString text = message.problem;
  if (!message.file.isEmpty()) text += QStringLiteral("\n\nFile: ") + message.file;
  if (!message.unchanged.isEmpty()) text += QStringLiteral("\n\n") + message.unchanged;
  return ShortenQuotes(text);
}

QMessageBox* MakeMessageBox(QWidget* parent, const UserMessage& message) {
  auto* box = new QMessageBox(QMessageBox::Warning, QString::fromLatin1(kWindowCaption), FormatUserMessage(message),
                              QMessageBox::Ok, parent);
  // File names and values come from the user's files: never read them as markup.
  box->setTextFormat(Qt::PlainText);
  box->setAttribute(Qt::WA_DeleteOnClose);
  return box;
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
  MakeMessageBox(parent, message)->exec();
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
