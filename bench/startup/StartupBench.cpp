// bench_startup DIR: how long the program takes from the start of its
// start-up sequence to the main window being ready (the About window's fixed
// pause left out), set against reading every customer record once through
// the engine in the same run. Start-up must not grow with the tables.
#include "data/Database.h"
#include "shell/MainU.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <cstdio>

int main(int argc, char **argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM") && !qEnvironmentVariableIsSet("DISPLAY"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2 || !QDir::setCurrent(QString::fromLocal8Bit(argv[1]))) {
        std::fprintf(stderr, "usage: bench_startup DATA_DIR\n");
        return 2;
    }
    double startMs = 0;
    {
        tlv::TMain main;
        main.setStartUpOnShow(false);
        main.setAboutPause(0);
        main.show();
        QElapsedTimer t;
        t.start();
        if (!main.startUp()) {
            std::fprintf(stderr, "bench_startup: not a data directory\n");
            return 1;
        }
        QCoreApplication::processEvents();
        startMs = t.nsecsElapsed() / 1e6;
        main.close();
    }
    // The peer: one sequential pass over the customer table.
    tlv::Db &db = tlv::db();
    QElapsedTimer t;
    t.start();
    db.cust5.open();
    long records = 0;
    for (int rc = d4top(db.cust5.data()); rc == 0; rc = d4skip(db.cust5.data(), 1))
        ++records;
    const double scanMs = t.nsecsElapsed() / 1e6;
    db.endSession();
    std::printf("start-up to main window: %.1f ms\n", startMs);
    std::printf("reading %ld customers in name order: %.1f ms\n", records, scanMs);
    std::printf("ratio start-up / full read: %.3f\n", startMs / scanMs);
    return 0;
}
