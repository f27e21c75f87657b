#include "desktop/qt/resources.h"

#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>

namespace vask {

namespace {

QStringList resource_dirs() {
    QStringList dirs;
    if (QCoreApplication::instance())
        dirs << QDir(QCoreApplication::applicationDirPath()).filePath("../share/vask");
#ifdef VASK_RESOURCE_DIR
    dirs << QString::fromUtf8(VASK_RESOURCE_DIR);
#endif
    return dirs;
}

}  // namespace

QString find_resource(const QString& name) {
    if (name.isEmpty()) return {};
    if (QFileInfo(name).isAbsolute()) return QFileInfo::exists(name) ? name : QString();
    for (const QString& dir : resource_dirs()) {
        QString path = QDir(dir).filePath(name);
        if (QFileInfo::exists(path)) return QDir::cleanPath(path);
    }
    return {};
}

QPixmap resource_picture(const std::string& name) {
    if (name.empty()) return {};
    QString wanted = QString::fromStdString(name);
    QString base = QFileInfo(wanted).completeBaseName();
    // The program's own picture is built in; its older names (.ico) lead there too.
    if (base.compare("vask", Qt::CaseInsensitive) == 0) return QPixmap(":/vask/vask.png");
    QPixmap picture;
    QString path = find_resource(wanted);
    if (!path.isEmpty() && picture.load(path)) return picture;
    path = find_resource(base + ".png");
    if (!path.isEmpty() && picture.load(path)) return picture;
    return {};
}

QIcon program_icon() {
    return QIcon(":/vask/vask.png");
}

}  // namespace vask
