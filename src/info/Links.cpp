#include "info/Links.h"

#include "app/Platform.h"

#include <QString>

QString NoBrowserText(const QString& url) {
    return QStringLiteral("No web browser could be started.\nThe address is: ") + url;
}

void OpenLink(Platform& platform, const QString& url) {
    if (!platform.OpenUrl(url)) {
        platform.Warning(NoBrowserText(url));
    }
}
