// Saves a PNG of the whole X screen: shows a headless user what the ornament looks like.
#include <QGuiApplication>
#include <QPixmap>
#include <QScreen>
#include <cstdio>

int main(int argc, char* argv[]) {
    if (argc != 2) {
        std::fprintf(stderr, "usage: kivo-screenshot OUTPUT.png\n");
        return 2;
    }
    QGuiApplication app(argc, argv);
    const QPixmap shot = QGuiApplication::primaryScreen()->grabWindow(0);
    if (shot.isNull() || !shot.save(QString::fromLocal8Bit(argv[1]), "PNG")) {
        std::fprintf(stderr, "kivo-screenshot: cannot save %s\n", argv[1]);
        return 1;
    }
    return 0;
}
