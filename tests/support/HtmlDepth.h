#pragma once

#include <algorithm>

#include <QRegularExpression>
#include <QString>

// How deep the elements of rebuilt help HTML nest, or -1 when a closing tag closes nothing opened in it, or when
// `allClosed` asks for every element to be closed and one is left open.
inline int HtmlDepth(const QString &html, bool allClosed)
{
    static const QRegularExpression tag(QStringLiteral(R"(<(/?)[a-z][^>]*?(/?)>)"));
    int depth = 0;
    int deepest = 0;
    for (const QRegularExpressionMatch &match : tag.globalMatch(html)) {
        if (!match.capturedView(2).isEmpty())
            continue;
        if (match.capturedView(1).isEmpty())
            deepest = std::max(deepest, ++depth);
        else if (--depth < 0)
            return -1;
    }
    return depth == 0 || !allClosed ? deepest : -1;
}
