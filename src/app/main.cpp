#include <QApplication>
#include <QMainWindow>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tovrin"));
    QApplication::setOrganizationName(QStringLiteral("Tovrin"));

    QMainWindow window;
    window.setWindowTitle(QStringLiteral("Tovrin"));
    window.resize(900, 700);
    window.show();
    return QApplication::exec();
}
