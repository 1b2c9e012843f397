// The yardstick of scripts/startup-time.sh: the least a Qt program does to show a main window, a
// QMainWindow holding a QLabel. The program's start-up is reported as a multiple of this one's.
#include <QApplication>
#include <QLabel>
#include <QMainWindow>

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  QMainWindow window;
  window.setWindowTitle(QStringLiteral("Start-up reference window"));
  window.setCentralWidget(new QLabel(QStringLiteral("Start-up reference window"), &window));
  window.show();
  return QApplication::exec();
}
