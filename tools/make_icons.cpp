// Writes the program's desktop icons in the hicolor theme's layout:
//   make_icons <folder> <icon name> <size>...
// gives <folder>/scalable/apps/<name>.svg and <folder>/<n>x<n>/apps/<name>.png
// for each size, all from the one drawing of app/logo.cpp.
#include <QDir>
#include <QFile>
#include <QImage>
#include <QString>
#include <cstdio>

#include "app/logo.h"

int main(int argc, char** argv) {
    if (argc < 4) {
        std::fprintf(stderr, "usage: make_icons <folder> <icon name> <size>...\n");
        return 2;
    }
    const QString root = QString::fromLocal8Bit(argv[1]);
    const QString name = QString::fromLocal8Bit(argv[2]);

    const QString scalable = root + "/scalable/apps";
    QFile svg(scalable + "/" + name + ".svg");
    if (!QDir().mkpath(scalable) || !svg.open(QIODevice::WriteOnly | QIODevice::Truncate) ||
        svg.write(qm::logo::svg().toUtf8()) < 0) {
        std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(svg.fileName()));
        return 1;
    }
    svg.close();

    for (int i = 3; i < argc; ++i) {
        const int size = QString::fromLocal8Bit(argv[i]).toInt();
        if (size <= 0) {
            std::fprintf(stderr, "make_icons: not a size: %s\n", argv[i]);
            return 2;
        }
        const QString folder = root + QString("/%1x%1/apps").arg(size);
        const QString file = folder + "/" + name + ".png";
        if (!QDir().mkpath(folder) || !qm::logo::image(size).save(file, "PNG")) {
            std::fprintf(stderr, "make_icons: cannot write %s\n", qPrintable(file));
            return 1;
        }
    }
    return 0;
}
