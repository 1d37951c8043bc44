#include "windows/CourseMaterial.h"

#include <memory>

#include <QFile>

const course::Material &CourseMaterial(layouts::Layout layout)
{
    // One keyboard's at a time: a learner changes keyboards seldom, and each is read in a few milliseconds.
    static std::unique_ptr<course::Material> material;
    static layouts::Layout read = layouts::Layout::FrenchAzerty;
    if (!material || read != layout) {
        QFile file(QStringLiteral(":/course/course.dat"));
        const QByteArray data = file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
        material = std::make_unique<course::Material>(
            course::Material::Parse(std::string_view(data.constData(), static_cast<std::size_t>(data.size())), layout));
        read = layout;
    }
    return *material;
}
