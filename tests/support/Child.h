// A window's control or timer found by its object name, the name the window
// and its stored settings know it by; a missing one fails the test.
#pragma once

#include <QObject>
#include <QString>
#include <stdexcept>
#include <string>

namespace tarvik::test {

template <typename T>
T* Child(const QObject& parent, const char* name) {
  T* child = parent.findChild<T*>(QString::fromLatin1(name));
  if (child == nullptr) {
    throw std::runtime_error(std::string("no ") + T::staticMetaObject.className() + " named " + name + " in " +
                             parent.objectName().toStdString());
  }
  return child;
}

}  // namespace tarvik::test
