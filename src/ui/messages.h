#pragma once
// Every message to the user goes through here, so that all look alike (the
// system's caption, the file concerned, what went wrong, what was left as it
// was) and so that tests can read them without a modal loop.

#include <QString>
#include <functional>
#include <optional>

#include "shell/file_status.h"

class QMessageBox;
class QWidget;

namespace velox::ui {

struct UserMessage {
  QString problem;    // what went wrong, as a sentence
  QString file;       // the file concerned, may be empty
  QString unchanged;  // what was left as it was, may be empty
};

// Texts quoted ("...") longer than kExcerptLength characters are shortened.
QString ShortenQuotes(const QString& text);

QString FormatUserMessage(const UserMessage& message);

// The warning box that ShowProblem runs: plain text, never markup.
QMessageBox* MakeMessageBox(QWidget* parent, const UserMessage& message);

// problem: e.g. "The settings could not be saved."; the error's file and cause are added.
UserMessage MessageFor(const QString& problem, const FileError& error, const QString& unchanged = {});

void ShowProblem(QWidget* parent, const UserMessage& message);

// Closes the window when the write succeeded; otherwise tells the user and keeps
// it open with what they entered.
void CloseOrReport(QWidget* window, const Status& written, const QString& problem, const QString& unchanged);

// Tests: route messages to the sink instead of a message box (null restores the box).
using MessageSink = std::function<void(const QString& title, const QString& text)>;
void SetMessageSinkForTesting(MessageSink sink);

QString ToQString(const std::filesystem::path& path);

// A question with Yes and No, No the default: Enter or Escape on it destroys nothing.
bool AskYesNo(QWidget* parent, const QString& question);
// A line of text, starting from `initial`; nothing when the player cancels.
std::optional<QString> AskText(QWidget* parent, const QString& question, const QString& initial);

// Tests: questions go to the answerer instead of a box. It gets the question
// and gives the answer: "yes" for Yes, or the text typed; a null QString is No
// or Cancel. A null answerer restores the boxes.
using QuestionAnswerer = std::function<QString(const QString& question)>;
void SetQuestionAnswererForTesting(QuestionAnswerer answerer);

}  // namespace velox::ui
