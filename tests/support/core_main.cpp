#include <QCoreApplication>
#include <QFile>
#include <QTemporaryDir>
#include <gtest/gtest.h>

int main(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    // What the tests send and fetch is recorded in a history of their own, never the user's.
    QTemporaryDir history;
    if (qgetenv("QAVO_HISTORY_DIR").isEmpty()) qputenv("QAVO_HISTORY_DIR", QFile::encodeName(history.path()));
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
