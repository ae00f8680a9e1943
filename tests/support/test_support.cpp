#include "support/test_support.h"

#include <QDir>

namespace testing_support {

QString resourcesDir() {
    return QStringLiteral(QAVO_RESOURCES);
}

QString dataDir() {
    return QStringLiteral(QAVO_TEST_DATA);
}

void leaveJournal(const QString& folder, const QByteArray& owner, const QList<QByteArray>& steps) {
    QDir().mkpath(folder);
    if (!owner.isNull()) writeBytes(folder + QStringLiteral("/owner.ini"), owner);
    for (int i = 0; i < steps.size(); ++i)
        writeBytes(folder + QStringLiteral("/%1.can").arg(i + 1, 4, 10, QLatin1Char('0')), steps[i]);
}

} // namespace testing_support
