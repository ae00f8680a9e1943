#include "platform/system_locale.h"

#include <QLocale>

#ifdef _WIN32
#include <windows.h>
#endif

namespace platform {

int systemDefaultLocaleId() {
#ifdef _WIN32
    return int(GetSystemDefaultLCID());
#else
    const QLocale locale = QLocale::system();
    if (locale.language() == QLocale::Chinese) {
        switch (locale.territory()) {
        case QLocale::Taiwan:
            return 1028;
        case QLocale::HongKong:
            return 3076;
        case QLocale::Singapore:
            return 4100;
        case QLocale::Macau:
            return 5124;
        default:
            return locale.script() == QLocale::TraditionalChineseScript ? 31748 : 2052;
        }
    }
    if (locale.language() == QLocale::French) return 1036;
    return 1033;
#endif
}

} // namespace platform
