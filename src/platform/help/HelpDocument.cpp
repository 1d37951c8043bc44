#include "platform/help/HelpDocument.h"

#include <algorithm>
#include <initializer_list>
#include <vector>

#include <QCollator>
#include <QHash>
#include <QLocale>
#include <QRegularExpression>
#include <QSet>
#include <QStringDecoder>
#include <QTextDocumentFragment>

#include "platform/text/Cp1252.h"
#include "platform/text/SafeFile.h"

namespace helpviewer {

namespace {

constexpr auto Matching = QRegularExpression::CaseInsensitiveOption | QRegularExpression::DotMatchesEverythingOption;

bool OneOf(QStringView name, std::initializer_list<QStringView> names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

// Elements that hold nothing. They are written <x />: Qt's reader would put what follows inside those it does
// not know as empty (a <link>, an <input>).
bool IsVoid(QStringView name)
{
    return OneOf(name, {u"area", u"base", u"basefont", u"br", u"col", u"embed", u"frame", u"hr", u"img", u"input",
                        u"keygen", u"link", u"meta", u"param", u"source", u"track", u"wbr"});
}

// The elements Qt's reader lays out as blocks.
bool IsBlock(QStringView name)
{
    return OneOf(name, {u"blockquote", u"body", u"caption", u"center", u"dd", u"div", u"dl", u"dt",
                        u"h1",         u"h2",   u"h3",      u"h4",     u"h5", u"h6",  u"hr", u"li",
                        u"ol",         u"p",    u"pre",     u"qt",     u"td", u"th",  u"ul"});
}

// The elements Qt's reader does not show, nor anything inside them.
bool IsHidden(QStringView name)
{
    return OneOf(name, {u"head", u"link", u"meta", u"script", u"style", u"title"});
}

bool IsAsciiLetter(QChar c)
{
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z');
}

bool IsNameChar(QChar c)
{
    return IsAsciiLetter(c) || (c >= u'0' && c <= u'9') || c == u'-' || c == u'_' || c == u':' || c == u'.';
}

bool IsAttributeName(QStringView name)
{
    return !name.isEmpty() && (IsAsciiLetter(name.front()) || name.front() == u'_' || name.front() == u':') &&
           std::all_of(name.begin(), name.end(), IsNameChar);
}

// `text` with each of the characters in `special` written as an entity.
QString Escaped(QStringView text, QStringView special)
{
    QString escaped;
    escaped.reserve(text.size());
    for (const QChar c : text) {
        if (!special.contains(c))
            escaped += c;
        else if (c == u'<')
            escaped += u"&lt;";
        else if (c == u'>')
            escaped += u"&gt;";
        else if (c == u'&')
            escaped += u"&amp;";
        else
            escaped += u"&quot;";
    }
    return escaped;
}

// The help document as Qt gets to read it. Qt's reader walks up through every enclosing element for each one it
// reads, so its time grows with the nesting; and where the source is broken (a cell outside any row, a closing tag
// for an element it has put elsewhere) it builds a tree of its own, which may nest far deeper than a count of the
// tags says. So Qt never reads the help file itself, only this: every element closed where it ends and put where
// Qt's reader would put it, so that it has nothing left to move and builds the very tree counted here.
class Rebuilder
{
public:
    // False when the element would stand deeper than NestingLimit.
    bool Start(const QString &name, const QString &attributes, bool selfClosed)
    {
        if (IsVoid(name)) {
            m_html += u'<' + name + attributes + QStringLiteral(" />");
            return true;
        }
        bool placed = true;
        if (name == u"td" || name == u"th") {
            if (Nearest({u"tr"}) < 0)
                placed = Within({u"table", u"thead", u"tbody", u"tfoot"}, QStringLiteral("table"));
            placed = placed && Within({u"tr"}, QStringLiteral("tr"));
        } else if (name == u"tr") {
            placed = Within({u"table", u"thead", u"tbody", u"tfoot"}, QStringLiteral("table"));
        } else if (OneOf(name, {u"thead", u"tbody", u"tfoot", u"caption"})) {
            placed = Within({u"table"}, QStringLiteral("table"));
        } else if (name == u"dd" || name == u"dt") {
            placed = Within({u"dl"}, QStringLiteral("dl"));
        } else if (name == u"li") {
            if (!m_open.empty() && m_open.back().Name == u"li")
                CloseTo(m_open.size() - 1);
        } else if (name == u"p") {
            // A paragraph ends the one it would stand in, with the inline elements still open in it.
            for (auto i = static_cast<qsizetype>(m_open.size()) - 1; i >= 0; --i) {
                if (m_open[i].Block) {
                    if (m_open[i].Name == u"p")
                        CloseTo(i);
                    break;
                }
            }
        } else if (name == u"body" || name == u"qt") {
            while (!m_open.empty() && m_open.back().Name == u"head")
                CloseTo(m_open.size() - 1);
        }
        if (!placed || !Open(name, attributes))
            return false;
        if (selfClosed)
            CloseTo(m_open.size() - 1);
        return true;
    }

    void End(QStringView name)
    {
        if (IsVoid(name))
            return;
        const qsizetype open = Nearest({name});
        if (open >= 0)
            CloseTo(open);
    }

    void Text(QStringView text) { m_html += text; }

    // Qt decodes entities in a style sheet too: they only stand here for the characters that would change it.
    bool Style(const QString &attributes, QStringView css)
    {
        if (!Open(QStringLiteral("style"), attributes))
            return false;
        m_html += Escaped(css, u"<&");
        CloseTo(m_open.size() - 1);
        return true;
    }

    QString Finish()
    {
        CloseTo(0);
        return std::move(m_html);
    }

private:
    struct Element {
        QString Name;
        bool Block;
        bool Hidden;
    };

    qsizetype Nearest(std::initializer_list<QStringView> names) const
    {
        for (auto i = static_cast<qsizetype>(m_open.size()) - 1; i >= 0; --i) {
            if (OneOf(m_open[i].Name, names))
                return i;
        }
        return -1;
    }

    // Readies the element about to open to stand right inside the nearest of `containers`, closing what is open
    // in between, or inside a new `made` when there is none.
    bool Within(std::initializer_list<QStringView> containers, const QString &made)
    {
        const qsizetype container = Nearest(containers);
        if (container < 0)
            return Open(made, QString());
        CloseTo(container + 1);
        return true;
    }

    bool Open(const QString &name, const QString &attributes)
    {
        if (m_open.size() >= static_cast<std::size_t>(NestingLimit))
            return false;
        const bool hidden = IsHidden(name) || (!m_open.empty() && m_open.back().Hidden);
        m_open.push_back({name, !hidden && IsBlock(name), hidden});
        m_html += u'<' + name + attributes + u'>';
        return true;
    }

    void CloseTo(qsizetype kept)
    {
        while (static_cast<qsizetype>(m_open.size()) > kept) {
            m_html += QStringLiteral("</") + m_open.back().Name + u'>';
            m_open.pop_back();
        }
    }

    std::vector<Element> m_open;
    QString m_html;
};

struct TagEnd {
    // Just past the '>', or -1 when the tag never ends.
    qsizetype End = -1;
    bool SelfClosed = false;
    // As rebuilt: ` name="value"` for each attribute kept.
    QString Attributes;
};

// The attributes of a start tag, from just after its name.
TagEnd ReadAttributes(QStringView source, qsizetype at)
{
    TagEnd tag;
    const qsizetype size = source.size();
    while (at < size) {
        const QChar c = source[at];
        if (c.isSpace() || c == u'=') {
            ++at;
        } else if (c == u'>') {
            tag.End = at + 1;
            return tag;
        } else if (c == u'/') {
            if (at + 1 < size && source[at + 1] == u'>') {
                tag.SelfClosed = true;
                tag.End = at + 2;
                return tag;
            }
            ++at;
        } else {
            const qsizetype nameStart = at;
            while (at < size && !source[at].isSpace() && source[at] != u'/' && source[at] != u'>' && source[at] != u'=')
                ++at;
            const QString name = source.sliced(nameStart, at - nameStart).toString().toLower();
            qsizetype next = at;
            while (next < size && source[next].isSpace())
                ++next;
            bool hasValue = false;
            QStringView value;
            if (next < size && source[next] == u'=') {
                hasValue = true;
                at = next + 1;
                while (at < size && source[at].isSpace())
                    ++at;
                if (at < size && (source[at] == u'"' || source[at] == u'\'')) {
                    const qsizetype close = source.indexOf(source[at], at + 1);
                    if (close < 0)
                        return tag;
                    value = source.sliced(at + 1, close - at - 1);
                    at = close + 1;
                } else {
                    const qsizetype valueStart = at;
                    while (at < size && !source[at].isSpace() && source[at] != u'>')
                        ++at;
                    value = source.sliced(valueStart, at - valueStart);
                }
            }
            // A title would become a tooltip, which Qt shows as rich text of its own, pictures included.
            if (name == u"title" || !IsAttributeName(name))
                continue;
            tag.Attributes += u' ' + name;
            if (hasValue)
                tag.Attributes += QStringLiteral("=\"") + Escaped(value, u"<>\"") + u'"';
        }
    }
    return tag;
}

// The help document rebuilt for Qt's reader (see Rebuilder) in a single pass over its tags, or nothing when its
// elements nest deeper than NestingLimit. Comments, declarations and scripts are dropped; a '<' that starts no
// tag, and everything from a tag that never ends, is text.
std::optional<QString> Rebuild(QStringView source)
{
    Rebuilder html;
    const qsizetype size = source.size();
    qsizetype at = 0;
    while (at < size) {
        const qsizetype open = source.indexOf(u'<', at);
        if (open < 0) {
            html.Text(source.sliced(at));
            break;
        }
        html.Text(source.sliced(at, open - at));
        at = open;
        const QStringView rest = source.sliced(at);
        if (rest.startsWith(u"<!--")) {
            const qsizetype end = source.indexOf(u"-->", at + 4);
            at = end < 0 ? size : end + 3;
            continue;
        }
        if (rest.startsWith(u"<!") || rest.startsWith(u"<?")) {
            const qsizetype end = source.indexOf(u'>', at);
            at = end < 0 ? size : end + 1;
            continue;
        }
        const bool closing = rest.startsWith(u"</");
        const qsizetype nameStart = at + (closing ? 2 : 1);
        qsizetype nameEnd = nameStart;
        if (nameEnd < size && IsAsciiLetter(source[nameEnd])) {
            while (nameEnd < size && IsNameChar(source[nameEnd]))
                ++nameEnd;
        }
        if (nameEnd == nameStart) {
            html.Text(u"&lt;");
            ++at;
            continue;
        }
        const QString name = source.sliced(nameStart, nameEnd - nameStart).toString().toLower();
        if (closing) {
            const qsizetype end = source.indexOf(u'>', nameEnd);
            if (end < 0) {
                html.Text(Escaped(rest, u"<"));
                break;
            }
            html.End(name);
            at = end + 1;
            continue;
        }
        const TagEnd tag = ReadAttributes(source, nameEnd);
        if (tag.End < 0) {
            html.Text(Escaped(rest, u"<"));
            break;
        }
        at = tag.End;
        if (name == u"script" || name == u"style") {
            if (tag.SelfClosed)
                continue;
            // Their text runs to their closing tag, whatever it holds.
            const qsizetype close = source.indexOf(QStringLiteral("</") + name, at, Qt::CaseInsensitive);
            const qsizetype textEnd = close < 0 ? size : close;
            if (name == u"style" && !html.Style(tag.Attributes, source.sliced(at, textEnd - at)))
                return std::nullopt;
            const qsizetype end = close < 0 ? -1 : source.indexOf(u'>', close);
            at = end < 0 ? size : end + 1;
            continue;
        }
        if (!html.Start(name, tag.Attributes, tag.SelfClosed))
            return std::nullopt;
    }
    return html.Finish();
}

// The text of a piece of the rebuilt document: tags dropped (those that break the line leave a space), entities
// decoded, white space collapsed. Only text reaches Qt here, never an element.
QString PlainText(QStringView html)
{
    QString text;
    qsizetype at = 0;
    while (at < html.size()) {
        const qsizetype open = html.indexOf(u'<', at);
        const qsizetype close = open < 0 ? -1 : html.indexOf(u'>', open);
        if (close < 0) {
            text += html.sliced(at);
            break;
        }
        text += html.sliced(at, open - at);
        qsizetype nameEnd = open + 1;
        if (nameEnd < close && html[nameEnd] == u'/')
            ++nameEnd;
        const qsizetype nameStart = nameEnd;
        while (nameEnd < close && IsNameChar(html[nameEnd]))
            ++nameEnd;
        const QStringView name = html.sliced(nameStart, nameEnd - nameStart);
        if (IsBlock(name) || OneOf(name, {u"br", u"table", u"tr"}))
            text += u' ';
        at = close + 1;
    }
    if (text.contains(u'&'))
        text = QTextDocumentFragment::fromHtml(text).toPlainText();
    return text.simplified();
}

// The value of one attribute in the attribute text of a rebuilt tag, entities decoded; null when absent.
QString Attribute(const QString &attributes, const QString &name)
{
    static const QRegularExpression attribute(QStringLiteral(R"re(([\w:.-]+)(?:="([^"]*)")?)re"));
    for (const QRegularExpressionMatch &match : attribute.globalMatch(attributes)) {
        if (match.captured(1) == name)
            return PlainText(match.capturedView(2));
    }
    return QString();
}

// The text of a style element of the rebuilt document, as it stood in the file.
QString StyleText(QString css)
{
    css.replace(QStringLiteral("&lt;"), QStringLiteral("<"));
    css.replace(QStringLiteral("&amp;"), QStringLiteral("&"));
    return css;
}

// The form under which two keywords count as the same word: accents dropped, case folded.
QString Folded(const QString &text)
{
    QString folded;
    const QString decomposed = text.normalized(QString::NormalizationForm_D);
    folded.reserve(decomposed.size());
    for (const QChar c : decomposed) {
        if (!c.isMark())
            folded.append(c);
    }
    return folded.toCaseFolded();
}

QCollator FrenchCollator()
{
    QCollator collator{QLocale(QLocale::French, QLocale::France)};
    collator.setCaseSensitivity(Qt::CaseInsensitive);
    collator.setNumericMode(true);
    return collator;
}

} // namespace

std::optional<HelpText> ParseHelp(const QString &source)
{
    // On the rebuilt document, where every element is closed and every '<' starts a tag, each of these finds its
    // end before the next one starts, so that the whole reading stays linear.
    static const QRegularExpression title(QStringLiteral(R"(<title(?=[ >])[^>]*>(.*?)</title>)"), Matching);
    static const QRegularExpression style(QStringLiteral(R"(<style(?=[ >])[^>]*>(.*?)</style>)"), Matching);
    static const QRegularExpression body(QStringLiteral(R"(<body(?=[ >])[^>]*>(.*?)(?:</body>|$))"), Matching);
    // Chapter headings and topics, in the order they stand in the file.
    static const QRegularExpression part(
        QStringLiteral(R"(<h1(?=[ >])[^>]*>(.*?)</h1>|<section((?=[ >])[^>]*)>(.*?)</section>)"), Matching);
    static const QRegularExpression heading(QStringLiteral(R"(<h([1-6])(?=[ >])[^>]*>(.*?)</h\1>)"), Matching);

    const std::optional<QString> rebuilt = Rebuild(source);
    if (!rebuilt)
        return std::nullopt;
    const QString &html = *rebuilt;

    HelpText help;
    help.Title = PlainText(title.match(html).capturedView(1));
    if (help.Title.isEmpty())
        help.Title = QStringLiteral("Aide");
    for (const QRegularExpressionMatch &match : style.globalMatch(html))
        help.Style += StyleText(match.captured(1));

    QString chapter;
    for (const QRegularExpressionMatch &match : part.globalMatch(html)) {
        if (match.capturedStart(1) >= 0) {
            chapter = PlainText(match.capturedView(1));
            continue;
        }
        const QString attributes = match.captured(2);
        Topic topic;
        topic.Id = Attribute(attributes, QStringLiteral("id")).trimmed();
        if (topic.Id.isEmpty())
            topic.Id = QStringLiteral("rubrique-%1").arg(help.Topics.size() + 1);
        topic.Chapter = chapter;
        topic.Html = match.captured(3).trimmed();
        topic.Title = PlainText(heading.match(topic.Html).capturedView(2));
        if (topic.Title.isEmpty())
            topic.Title = topic.Id;
        QSet<QString> seen;
        const QString keywords = Attribute(attributes, QStringLiteral("data-keywords"));
        for (const QString &keyword : keywords.split(QLatin1Char(';'))) {
            const QString word = keyword.simplified();
            if (!word.isEmpty() && !seen.contains(Folded(word))) {
                seen.insert(Folded(word));
                topic.Keywords << word;
            }
        }
        help.Topics << topic;
    }

    // A plain HTML page still shows, as one topic named after its first heading.
    if (help.Topics.isEmpty()) {
        const QRegularExpressionMatch whole = body.match(html);
        const QString content = (whole.hasMatch() ? whole.captured(1) : html).trimmed();
        if (!PlainText(content).isEmpty()) {
            Topic topic;
            topic.Id = QStringLiteral("aide");
            topic.Title = PlainText(heading.match(content).capturedView(2));
            if (topic.Title.isEmpty())
                topic.Title = help.Title;
            topic.Html = content;
            help.Topics << topic;
        }
    }
    return help;
}

QString DecodeHelp(std::string_view bytes)
{
    QStringDecoder utf8(QStringDecoder::Utf8);
    QString text = utf8.decode(QByteArrayView(bytes.data(), static_cast<qsizetype>(bytes.size())));
    if (utf8.hasError())
        text = cp1252::ToUnicode(bytes);
    return text;
}

HelpReading ReadHelp(const QString &path)
{
    HelpReading reading;
    const safefile::Contents contents = safefile::Read(path, safefile::HelpLimit);
    switch (contents.Refused) {
    case safefile::Refusal::None: break;
    case safefile::Refusal::TooLarge: reading.Refused = Refusal::TooLarge; return reading;
    case safefile::Refusal::CannotOpen:
    case safefile::Refusal::NotAFile:
    case safefile::Refusal::CannotRead: reading.Refused = Refusal::CannotOpen; return reading;
    }
    std::optional<HelpText> text = ParseHelp(DecodeHelp(contents.Bytes));
    if (!text) {
        reading.Refused = Refusal::TooDeep;
        return reading;
    }
    // In the rebuilt HTML every '<' followed by a letter opens an element.
    static const QRegularExpression element(QStringLiteral("<[a-z]"));
    const auto tooBig = [](const Topic &topic) { return topic.Html.count(element) > TopicElementLimit; };
    if (text->Style.size() > StyleLimit || std::any_of(text->Topics.cbegin(), text->Topics.cend(), tooBig)) {
        reading.Refused = Refusal::TooComplex;
        return reading;
    }
    reading.Text = std::move(*text);
    return reading;
}

int FindTopic(const QList<Topic> &topics, const QString &id)
{
    for (qsizetype i = 0; i < topics.size(); ++i) {
        if (topics[i].Id == id)
            return static_cast<int>(i);
    }
    return -1;
}

QList<IndexEntry> BuildIndex(const QList<Topic> &topics)
{
    QList<IndexEntry> index;
    QHash<QString, qsizetype> byWord;
    for (qsizetype i = 0; i < topics.size(); ++i) {
        for (const QString &keyword : topics[i].Keywords) {
            const QString word = Folded(keyword);
            const auto found = byWord.constFind(word);
            if (found == byWord.constEnd()) {
                byWord.insert(word, index.size());
                index << IndexEntry{keyword, {static_cast<int>(i)}};
            } else if (!index[*found].Topics.contains(static_cast<int>(i))) {
                index[*found].Topics << static_cast<int>(i);
            }
        }
    }
    // Folded words first, so that the order holds even where the collator falls back to plain code points.
    const QCollator collator = FrenchCollator();
    std::stable_sort(index.begin(), index.end(), [&](const IndexEntry &a, const IndexEntry &b) {
        const int folded = collator.compare(Folded(a.Keyword), Folded(b.Keyword));
        return folded != 0 ? folded < 0 : collator.compare(a.Keyword, b.Keyword) < 0;
    });
    return index;
}

int FindKeyword(const QList<IndexEntry> &index, const QString &typed)
{
    if (index.isEmpty())
        return -1;
    const QString start = Folded(typed.simplified());
    if (start.isEmpty())
        return 0;
    for (qsizetype i = 0; i < index.size(); ++i) {
        if (Folded(index[i].Keyword).startsWith(start))
            return static_cast<int>(i);
    }
    const QCollator collator = FrenchCollator();
    for (qsizetype i = 0; i < index.size(); ++i) {
        if (collator.compare(Folded(index[i].Keyword), start) > 0)
            return static_cast<int>(i);
    }
    return static_cast<int>(index.size() - 1);
}

} // namespace helpviewer
