#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QLocale>

// Core tests run with a Qt application object (sockets need one) and in the C locale, so that no
// test depends on the machine's regional settings.
int main(int argc, char** argv) {
  QCoreApplication app(argc, argv);
  QLocale::setDefault(QLocale::c());
  testing::InitGoogleTest(&argc, argv);
  return RUN_ALL_TESTS();
}
