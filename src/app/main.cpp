// main.cpp - program start of Tarnel (TarnelDemo): the application, then the
// main window, then the message loop.
#include <QApplication>
#include <QLabel>

int main(int argc, char* argv[])
{
    QApplication app(argc, argv);
    app.setApplicationName("Tarnel");
    // The main window arrives with the application shell; until then the
    // program shows its name so that `make run` starts something visible.
    QLabel window("Tarnel Ver 0.1");
    window.setWindowTitle("Tarnel Ver 0.1");
    window.resize(800, 600);
    window.show();
    return app.exec();
}
