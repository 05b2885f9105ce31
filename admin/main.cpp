#include <QApplication>
#include <QWidget>

int main(int argc, char* argv[]) {
    QApplication app(argc, argv);
    QWidget index;
    index.setObjectName(QStringLiteral("Index"));
    index.setWindowTitle(QStringLiteral("Gestione Utenti"));
    index.resize(549, 279);
    index.show();
    return app.exec();
}
