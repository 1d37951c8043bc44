// Any bytes as the help file, read as the help viewer reads it: the reading never fails, a document is either
// refused as nested too deep or comes back rebuilt with no element deeper than the limit and no closing tag left
// over, and the index leads only to topics that carry its keywords.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include <QGuiApplication>
#include <QRegularExpression>

#include "platform/HelpViewer.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
}

// The deepest nesting in a piece of rebuilt HTML, or -1 when a closing tag closes nothing opened in it. A topic
// may end with elements still open (a section inside a section ends at the inner one's closing tag).
int Depth(const QString &html)
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
    return deepest;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    // The entities of titles and keywords are decoded by Qt's text document, which wants the application object.
    static int argc = 1;
    static char name[] = "fuzz_help_parser";
    static char *argv[] = {name, nullptr};
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    static const QGuiApplication application(argc, argv);

    const std::string_view bytes(reinterpret_cast<const char *>(data), size);
    const std::optional<helpviewer::HelpText> help = helpviewer::ParseHelp(helpviewer::DecodeHelp(bytes));
    if (!help)
        return 0;
    Check(!help->Title.isEmpty());
    for (const helpviewer::Topic &topic : help->Topics) {
        Check(!topic.Id.isEmpty() && !topic.Title.isEmpty());
        // Inside its section, which counts as one level.
        const int depth = Depth(topic.Html);
        Check(depth >= 0 && depth < helpviewer::NestingLimit);
        static const QRegularExpression dropped(QStringLiteral("<!--|<script[ />]"));
        Check(!topic.Html.contains(dropped));
        for (const QString &keyword : topic.Keywords)
            Check(!keyword.isEmpty() && !keyword.contains(QLatin1Char(';')));
    }
    const QList<helpviewer::IndexEntry> index = helpviewer::BuildIndex(help->Topics);
    for (const helpviewer::IndexEntry &entry : index) {
        Check(!entry.Topics.isEmpty());
        for (const int topic : entry.Topics)
            Check(topic >= 0 && topic < help->Topics.size());
        Check(helpviewer::FindKeyword(index, entry.Keyword) >= 0);
    }
    return 0;
}
