#include "windows/CourseMaterial.h"

#include <QFile>

const course::Material &CourseMaterial()
{
    static const course::Material material = [] {
        QFile file(QStringLiteral(":/course/course.dat"));
        if (!file.open(QIODevice::ReadOnly))
            return course::Material();
        const QByteArray data = file.readAll();
        return course::Material::Parse(std::string_view(data.constData(), static_cast<std::size_t>(data.size())));
    }();
    return material;
}
