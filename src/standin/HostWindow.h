// The stand-in host's own small window: which feed runs and how many stations it heard.
#pragma once

#include <QLabel>
#include <QWidget>
#include <functional>

namespace standin {

class TStandInWindow : public QWidget {
  Q_OBJECT
 public:
  explicit TStandInWindow(QWidget* parent = nullptr);

  void ShowState(const QString& feedState, int heardCount);
  QString FeedText() const { return lblFeed->text(); }
  QString HeardText() const { return lblHeard->text(); }

  // The user closed the window: the host is closing.
  std::function<void()> OnClose;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* lblFeed;
  QLabel* lblHeard;
};

}  // namespace standin
