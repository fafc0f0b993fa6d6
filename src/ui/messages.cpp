#include "ui/messages.h"

#include <QInputDialog>
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
QuestionAnswerer& Answerer() {
  static QuestionAnswerer answerer;
  return answerer;
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

bool AskYesNo(QWidget* parent, const QString& question) {
  if (Answerer()) return Answerer()(question) == QLatin1String("yes");
  QMessageBox box(QMessageBox::Question, QString::fromLatin1(kWindowCaption), ShortenQuotes(question),
                  QMessageBox::Yes | QMessageBox::No, parent);
  box.setTextFormat(Qt::PlainText);  // names come from files and from typing
  box.setDefaultButton(QMessageBox::No);
  box.setEscapeButton(QMessageBox::No);
  return box.exec() == QMessageBox::Yes;
}

std::optional<QString> AskText(QWidget* parent, const QString& question, const QString& initial) {
  if (Answerer()) {
    const QString answer = Answerer()(question);
    return answer.isNull() ? std::nullopt : std::optional<QString>(answer);
  }
  bool ok = false;
  const QString text =
      QInputDialog::getText(parent, QString::fromLatin1(kWindowCaption), question, QLineEdit::Normal, initial, &ok);
  return ok ? std::optional<QString>(text) : std::nullopt;
}

void SetQuestionAnswererForTesting(QuestionAnswerer answerer) { Answerer() = std::move(answerer); }

}  // namespace velox::ui
