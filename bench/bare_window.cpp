// The smallest Qt Widgets program: one empty window, shown, then quit. The start-up benchmark
// compares the windowed program's launch with this one, started the same way in the same run.
#include <QApplication>
#include <QTimer>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget window;
    window.setWindowTitle("bare");
    window.resize(420, 480);
    window.show();
    QTimer::singleShot(0, &app, &QCoreApplication::quit);
    return QApplication::exec();
}
