// Only one copy of the program runs at a time: the first copy holds a lock
// named "PREVINST:" + its title; a copy started under another file name has
// another title and is not stopped. A lock left by a copy that was killed is
// taken over by the next start.
#pragma once

#include <QLockFile>
#include <QString>
#include <functional>
#include <memory>

namespace tarvik {

inline constexpr const char* kAlreadyRunningText = "Tarvik is already running.";

// The title of an executable: its file name without folder and extension,
// every character but the first in lower case ("TARVIK.EXE" gives "Tarvik").
QString InstanceTitle(const QString& executablePath);

// The lock's file name for a title: "PREVINST:" + title.
QString InstanceLockName(const QString& title);

// The folder for the lock: the user's runtime folder, else the temp folder.
QString InstanceLockFolder();

class TSingleInstance {
 public:
  // Settles at once whether this is the first copy; the lock is held until
  // the object is destroyed.
  TSingleInstance(const QString& lockFolder, const QString& title);
  bool IsFirstInstance() const { return m_first; }
  QString LockPath() const { return m_path; }

 private:
  QString m_path;
  std::unique_ptr<QLockFile> m_lock;
  bool m_first = false;
};

// Tells the user that a copy is already running: a message box, or a line on
// stderr on the offscreen platform, where no one could close a box.
void ShowAlreadyRunning();

}  // namespace tarvik
