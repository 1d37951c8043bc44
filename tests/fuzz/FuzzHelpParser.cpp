// Any bytes as the help file, read as the help viewer reads it: the reading never fails, a document is either
// refused as nested too deep or comes back rebuilt with no element deeper than the limit and no closing tag left
// over, and the index leads only to topics that carry its keywords.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include <QGuiApplication>
#include <QRegularExpression>

#include "platform/help/HelpDocument.h"
#include "support/HtmlDepth.h"

namespace {

void Check(bool condition)
{
    if (!condition)
        std::abort();
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
        // A topic may end with elements still open (a section inside a section ends at the inner one's closing tag).
        const int depth = HtmlDepth(topic.Html, false);
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
