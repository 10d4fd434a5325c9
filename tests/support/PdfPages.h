#pragma once

#include <QFile>
#include <QRegularExpression>
#include <QString>

#include <vector>

namespace tovtest {

// The media box of every page object of a PDF file, in page order; empty when it cannot be read.
inline std::vector<std::vector<double>> pdfMediaBoxes(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        return {};
    }
    const QString text = QString::fromLatin1(file.readAll());
    static const QRegularExpression page(R"(/Type\s*/Page\b(?!s)[^>]*?/MediaBox\s*\[([^\]]*)\])",
                                         QRegularExpression::DotMatchesEverythingOption);
    std::vector<std::vector<double>> boxes;
    for (auto it = page.globalMatch(text); it.hasNext();) {
        std::vector<double> box;
        for (const QString& number : it.next().captured(1).simplified().split(u' ')) {
            box.push_back(number.toDouble());
        }
        boxes.push_back(box);
    }
    return boxes;
}

} // namespace tovtest
