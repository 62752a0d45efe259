#pragma once
// Window tests need one QApplication for the whole test program; this makes it on first use.

#include <QApplication>

namespace kelmora::testing {

inline QApplication& EnsureQApplication() {
  static int argc = 1;
  static char name[] = "kelmora-test";
  static char* argv[] = {name, nullptr};
  if (auto* existing = qobject_cast<QApplication*>(QCoreApplication::instance())) return *existing;
  static QApplication* app = new QApplication(argc, argv);
  return *app;
}

}  // namespace kelmora::testing
