// The floor of the start-up figures: an empty Qt main window of the program's size, nothing else.
#include <QApplication>
#include <QMainWindow>

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    QMainWindow window;
    window.setWindowTitle(QStringLiteral("bare window"));
    window.resize(760, 560);
    window.show();
    return application.exec();
}
