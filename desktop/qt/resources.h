#pragma once
// Where the program's files are: beside the installed program
// (../share/vask), or in the source tree's resources folder for a build that
// was not installed. The program icon is also built into the program.
#include <QIcon>
#include <QPixmap>
#include <QString>

#include <string>

namespace vask {

// The full path of a resource file, or empty when none is found.
QString find_resource(const QString& name);
// A picture by resource name ("vask.png", "vask.ico", "vask"): the built-in
// icon for the program's own pictures, else the file found by find_resource.
QPixmap resource_picture(const std::string& name);
// The program icon (32 by 32).
QIcon program_icon();

}  // namespace vask
