#pragma once
// One configurator per installation folder. Two configurators on one folder
// would each keep their own idea of the files and rewrite them through the same
// temporary names; so a second start asks the first to come forward and ends.
// A lock left by a configurator that crashed or was killed is taken over.

#include <QLocalServer>
#include <QLockFile>
#include <QObject>
#include <QString>
#include <filesystem>

class QWidget;

namespace velox::ui {

// The name the configurators of one installation folder share: the same for
// every spelling of the folder (on Windows, in any letter case).
QString InstanceKey(const std::filesystem::path& appFolder);

class SingleInstance : public QObject {
  Q_OBJECT
 public:
  // Claims the folder or, when another configurator holds it, asks that one to come forward.
  explicit SingleInstance(const std::filesystem::path& appFolder, QObject* parent = nullptr);

  // False when another configurator runs for the folder: this one ends, having written nothing.
  bool IsFirst() const { return first_; }

 signals:
  // A later start for the same folder asked this configurator to come forward.
  void comeForwardAsked();

 private:
  QString key_;
  QLockFile lock_;
  QLocalServer server_;
  bool first_ = true;
};

// Shows the window in front of the others, restored if it was minimised.
void BringForward(QWidget& window);

}  // namespace velox::ui
