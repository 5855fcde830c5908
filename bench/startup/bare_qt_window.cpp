// The yardstick for start-up time: a bare Qt main window with a title, a menu
// bar, a status bar and an empty text area, shown as soon as it exists.

#include <QApplication>
#include <QMainWindow>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QStatusBar>

int main(int argc, char* argv[])
{
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Bare Qt window"));
    window.menuBar()->addMenu(QStringLiteral("&File"));
    window.setCentralWidget(new QPlainTextEdit);
    window.statusBar()->showMessage(QStringLiteral("Ready"));
    window.resize(640, 480);
    window.show();
    return QApplication::exec();
}
