// The stand-in host's own small window: which feed runs and how many stations it heard.
#pragma once

#include <QAction>
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
  void ShowTilesState(const QString& state) { lblTiles->setText(state); }
  QString TilesText() const { return lblTiles->text(); }

  // The Map menu's "Online tiles" entry, checked while tiles are on; `onToggle`
  // hears the user's choice. With a `problem` the entry is off and says why.
  QAction* AddTilesEntry(const QString& problem, bool on, std::function<void(bool on)> onToggle);

  // The user closed the window: the host is closing.
  std::function<void()> OnClose;

 protected:
  void closeEvent(QCloseEvent* event) override;

 private:
  QLabel* lblFeed;
  QLabel* lblHeard;
  QLabel* lblTiles;
};

}  // namespace standin
