#include "app/Pictures.h"

#include "platform/runtime/Cp1252.h"

#include <QFile>

namespace vx {

Bitmap ProgramPicture(std::string_view name) {
    Bitmap picture;
    QFile file(QStringLiteral(":/pictures/") + ToQString(name));
    if (!file.open(QIODevice::ReadOnly))
        return picture;
    const QByteArray bytes = file.readAll();
    picture.LoadJpegFromBytes(std::string_view(bytes.constData(), bytes.size()));
    return picture;
}

} // namespace vx
