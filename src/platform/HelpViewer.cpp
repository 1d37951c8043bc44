#include "platform/HelpViewer.h"

#include <algorithm>
#include <initializer_list>
#include <memory>
#include <vector>

#include <QCollator>
#include <QApplication>
#include <QDialog>
#include <QDialogButtonBox>
#include <QDir>
#include <QEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QHash>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>
#include <QPushButton>
#include <QRegularExpression>
#include <QScreen>
#include <QSet>
#include <QShortcut>
#include <QStringDecoder>
#include <QStyle>
#include <QTabWidget>
#include <QTextBrowser>
#include <QTextDocument>
#include <QTextDocumentFragment>
#include <QTimer>
#include <QTreeWidget>
#include <QUrl>
#include <QVBoxLayout>

#include "platform/ControlIdentity.h"
#include "platform/Cp1252.h"
#include "platform/FileIO.h"

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
    return OneOf(name, {u"blockquote", u"body", u"caption", u"center", u"dd", u"div", u"dl", u"dt", u"h1", u"h2",
                        u"h3", u"h4", u"h5", u"h6", u"hr", u"li", u"ol", u"p", u"pre", u"qt", u"td", u"th", u"ul"});
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
            while (at < size && !source[at].isSpace() && source[at] != u'/' && source[at] != u'>' &&
                   source[at] != u'=')
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
    case safefile::Refusal::None:
        break;
    case safefile::Refusal::TooLarge:
        reading.Refused = Refusal::TooLarge;
        return reading;
    case safefile::Refusal::CannotOpen:
    case safefile::Refusal::NotAFile:
    case safefile::Refusal::CannotRead:
        reading.Refused = Refusal::CannotOpen;
        return reading;
    }
    std::optional<HelpText> text = ParseHelp(DecodeHelp(contents.Bytes));
    if (!text) {
        reading.Refused = Refusal::TooDeep;
        return reading;
    }
    // In the rebuilt HTML every '<' followed by a letter opens an element.
    static const QRegularExpression element(QStringLiteral("<[a-z]"));
    const auto tooBig = [](const Topic &topic) {
        return topic.Html.count(element) > TopicElementLimit;
    };
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

namespace {

const QString ProgramName = QStringLiteral("Tapotis2002");

// One reading of the help file, shared by the windows that show it; a new reading replaces it without
// disturbing a window still on the old one.
struct Help {
    HelpText Text;
    QList<IndexEntry> Index;
};
using SharedHelp = std::shared_ptr<const Help>;

void BringToFront(QWidget *window)
{
    window->setWindowState(window->windowState() & ~Qt::WindowMinimized);
    window->show();
    window->raise();
    window->activateWindow();
}

void CentreOnScreen(QWidget *window, QPoint offset = {})
{
    if (const QScreen *screen = QGuiApplication::primaryScreen()) {
        QRect frame = window->frameGeometry();
        frame.moveCenter(screen->availableGeometry().center() + offset);
        window->move(frame.topLeft());
    }
}

QPushButton *Button(QWidget *parent, const QString &name, const QString &text, const QString &hint = QString())
{
    auto *button = new QPushButton(text, parent);
    Identify(button, name, hint, hint.isEmpty() ? HintShown::No : HintShown::Yes);
    // The button is read by its text; the hint tells more.
    button->setAccessibleName(text);
    button->setAccessibleDescription(hint);
    button->setAutoDefault(false);
    return button;
}

void OpenContents(const SharedHelp &help, int topic);

// The document a topic is shown in: nothing it names is ever loaded, from the disk, the network or the help file
// itself. A picture gets a blank one rather than nothing, since Qt opens an image file by its name itself when it
// is given nothing.
class SealedDocument : public QTextDocument
{
public:
    explicit SealedDocument(QObject *parent) : QTextDocument(parent)
    {
        setResourceProvider([](const QUrl &) { return QVariant(); });
    }

protected:
    QVariant loadResource(int type, const QUrl &) override
    {
        if (type != QTextDocument::ImageResource)
            return QVariant();
        static const QImage blank = [] {
            QImage image(1, 1, QImage::Format_ARGB32);
            image.fill(Qt::transparent);
            return image;
        }();
        return blank;
    }
};

// What to do once the last help window has gone (see ShowTopics).
std::function<void()> &WhenAllClosed()
{
    static std::function<void()> then;
    return then;
}

void CheckAllClosed();

// A help window hidden or closed: the reader may have left the help. Checked once the event is over, since a
// window is hidden just after the other one is shown in its place.
void NoteHidden()
{
    QTimer::singleShot(0, qApp, [] { CheckAllClosed(); });
}

// The topic window: one topic's text, with the way back to the contents, to the topic seen before and to its
// neighbours in the contents. Links to other topics open them here.
class TopicView : public QWidget
{
public:
    TopicView()
    {
        setAttribute(Qt::WA_DeleteOnClose);
        Identify(this, QStringLiteral("HelpTopic"));
        auto *layout = new QVBoxLayout(this);
        auto *buttons = new QHBoxLayout;
        m_contents = Button(this, QStringLiteral("BoutonSommaire"), QStringLiteral("Sommaire"),
                            QStringLiteral("Revenir aux rubriques d'aide"));
        m_back = Button(this, QStringLiteral("BoutonRetour"), QStringLiteral("Retour"),
                        QStringLiteral("Revenir à la rubrique lue avant celle-ci"));
        m_previous = Button(this, QStringLiteral("BoutonPrecedent"), QStringLiteral("Précédent"),
                            QStringLiteral("Rubrique précédente du sommaire"));
        m_next = Button(this, QStringLiteral("BoutonSuivant"), QStringLiteral("Suivant"),
                        QStringLiteral("Rubrique suivante du sommaire"));
        for (QPushButton *button : {m_contents, m_back, m_previous, m_next})
            buttons->addWidget(button);
        buttons->addStretch();
        layout->addLayout(buttons);

        m_browser = new QTextBrowser(this);
        Identify(m_browser, QStringLiteral("TexteRubrique"));
        m_browser->setDocument(new SealedDocument(m_browser));
        // Links are followed here, among the topics; nothing is ever loaded from elsewhere.
        m_browser->setOpenLinks(false);
        m_browser->setOpenExternalLinks(false);
        layout->addWidget(m_browser);
        resize(620, 560);

        connect(m_contents, &QPushButton::clicked, this, [this] { OpenContents(m_help, m_current); });
        connect(m_back, &QPushButton::clicked, this, [this] { GoBack(); });
        connect(m_previous, &QPushButton::clicked, this, [this] { GoTo(m_current - 1); });
        connect(m_next, &QPushButton::clicked, this, [this] { GoTo(m_current + 1); });
        connect(m_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl &url) { Follow(url); });
        auto *back = new QShortcut(QKeySequence(Qt::ALT | Qt::Key_Left), this);
        connect(back, &QShortcut::activated, this, [this] { GoBack(); });
        auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        connect(escape, &QShortcut::activated, this, [this] { close(); });
    }

    void Show(const SharedHelp &help, int topic)
    {
        // The history belongs to one reading of the file: its positions mean nothing in another.
        if (help != m_help) {
            m_help = help;
            m_history.clear();
            m_current = -1;
            m_browser->document()->setDefaultStyleSheet(m_help->Text.Style);
        }
        GoTo(topic);
    }

private:
    void GoTo(int topic)
    {
        if (topic < 0 || topic >= m_help->Text.Topics.size() || topic == m_current)
            return;
        if (m_current >= 0)
            m_history << m_current;
        Display(topic);
    }

    void GoBack()
    {
        if (!m_history.isEmpty())
            Display(m_history.takeLast());
    }

    // Only "#id" leads anywhere: another file or a web address is never opened.
    void Follow(const QUrl &url)
    {
        if (!url.scheme().isEmpty() || !url.path().isEmpty() || !url.hasFragment())
            return;
        const int topic = FindTopic(m_help->Text.Topics, url.fragment());
        if (topic >= 0)
            GoTo(topic);
        else
            m_browser->scrollToAnchor(url.fragment());
    }

    void Display(int topic)
    {
        m_current = topic;
        const Topic &shown = m_help->Text.Topics[topic];
        m_browser->setHtml(QStringLiteral("<html><body>") + shown.Html + QStringLiteral("</body></html>"));
        setWindowTitle(shown.Title + QStringLiteral(" - Aide de ") + ProgramName);
        m_back->setEnabled(!m_history.isEmpty());
        m_previous->setEnabled(topic > 0);
        m_next->setEnabled(topic + 1 < m_help->Text.Topics.size());
    }

    SharedHelp m_help;
    int m_current = -1;
    QList<int> m_history;
    QTextBrowser *m_browser = nullptr;
    QPushButton *m_contents = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_previous = nullptr;
    QPushButton *m_next = nullptr;

protected:
    void hideEvent(QHideEvent *event) override
    {
        QWidget::hideEvent(event);
        NoteHidden();
    }
};

QPointer<TopicView> &CurrentTopicView()
{
    static QPointer<TopicView> view;
    return view;
}

void OpenTopic(const SharedHelp &help, int topic)
{
    QPointer<TopicView> &view = CurrentTopicView();
    if (!view) {
        view = new TopicView;
        CentreOnScreen(view, QPoint(40, 20));
    }
    view->Show(help, topic);
    BringToFront(view);
}

// The "Help Topics" window: the contents as a tree of chapters and topics, and the index of keywords.
class TopicsView : public QWidget
{
public:
    TopicsView()
    {
        setAttribute(Qt::WA_DeleteOnClose);
        Identify(this, QStringLiteral("HelpViewer"));
        setWindowTitle(QStringLiteral("Rubriques d'aide - ") + ProgramName);
        auto *layout = new QVBoxLayout(this);

        m_tabs = new QTabWidget(this);
        Identify(m_tabs, QStringLiteral("Onglets"));
        layout->addWidget(m_tabs);

        auto *contentsPage = new QWidget(m_tabs);
        auto *contentsLayout = new QVBoxLayout(contentsPage);
        contentsLayout->addWidget(
            new QLabel(QStringLiteral("Cliquez sur une rubrique, puis sur Afficher."), contentsPage));
        m_tree = new QTreeWidget(contentsPage);
        Identify(m_tree, QStringLiteral("Sommaire"));
        m_tree->setHeaderHidden(true);
        m_tree->setColumnCount(1);
        contentsLayout->addWidget(m_tree);
        m_tabs->addTab(contentsPage, QStringLiteral("Sommaire"));

        auto *indexPage = new QWidget(m_tabs);
        auto *indexLayout = new QVBoxLayout(indexPage);
        auto *prompt = new QLabel(QStringLiteral("&Tapez les premières lettres du mot recherché"), indexPage);
        indexLayout->addWidget(prompt);
        m_search = new QLineEdit(indexPage);
        Identify(m_search, QStringLiteral("IndexSaisie"));
        prompt->setBuddy(m_search);
        indexLayout->addWidget(m_search);
        indexLayout->addWidget(
            new QLabel(QStringLiteral("Cliquez sur l'entrée d'index, puis sur Afficher."), indexPage));
        m_list = new QListWidget(indexPage);
        Identify(m_list, QStringLiteral("IndexListe"));
        indexLayout->addWidget(m_list);
        m_tabs->addTab(indexPage, QStringLiteral("Index"));

        auto *buttons = new QHBoxLayout;
        buttons->addStretch();
        auto *show = Button(this, QStringLiteral("Afficher"), QStringLiteral("Afficher"));
        auto *close = Button(this, QStringLiteral("Fermer"), QStringLiteral("Fermer"));
        buttons->addWidget(show);
        buttons->addWidget(close);
        layout->addLayout(buttons);
        resize(440, 520);

        connect(show, &QPushButton::clicked, this, [this] { ShowSelected(); });
        connect(close, &QPushButton::clicked, this, [this] { this->close(); });
        auto *escape = new QShortcut(QKeySequence(Qt::Key_Escape), this);
        connect(escape, &QShortcut::activated, this, [this] { this->close(); });
        connect(m_tree, &QTreeWidget::itemActivated, this, [this](QTreeWidgetItem *item) {
            if (item->data(0, Qt::UserRole).toInt() >= 0)
                ShowSelected();
        });
        connect(m_list, &QListWidget::itemActivated, this, [this] { ShowSelected(); });
        connect(m_list, &QListWidget::itemClicked, this, [this](QListWidgetItem *item) {
            const QSignalBlocker quiet(m_search);
            m_search->setText(item->text());
        });
        connect(m_search, &QLineEdit::textChanged, this, [this](const QString &typed) { SelectKeyword(typed); });
        connect(m_search, &QLineEdit::returnPressed, this, [this] { ShowSelected(); });
        connect(m_tabs, &QTabWidget::currentChanged, this, [this](int tab) {
            if (tab == IndexTab)
                m_search->setFocus();
            else
                m_tree->setFocus();
        });
        // The arrow keys in the search field move in the list, as the reader expects while typing.
        m_search->installEventFilter(this);
    }

    // Shows a new reading of the file, staying on the topic chosen before when it is still there.
    void Load(const SharedHelp &help)
    {
        const QString kept = m_help && m_tree->currentItem() ? CurrentTopicId() : QString();
        m_help = help;
        setWindowTitle(QStringLiteral("Rubriques d'aide - ") + ProgramName);

        m_tree->clear();
        QTreeWidgetItem *chapter = nullptr;
        QString chapterTitle;
        const QList<Topic> &topics = m_help->Text.Topics;
        for (qsizetype i = 0; i < topics.size(); ++i) {
            if (topics[i].Chapter != chapterTitle) {
                chapterTitle = topics[i].Chapter;
                chapter = nullptr;
                if (!chapterTitle.isEmpty()) {
                    chapter = new QTreeWidgetItem(m_tree, QStringList{chapterTitle});
                    chapter->setData(0, Qt::UserRole, -1);
                    chapter->setIcon(0, style()->standardIcon(QStyle::SP_DirIcon));
                }
            }
            auto *item = chapter ? new QTreeWidgetItem(chapter, QStringList{topics[i].Title})
                                 : new QTreeWidgetItem(m_tree, QStringList{topics[i].Title});
            item->setData(0, Qt::UserRole, static_cast<int>(i));
            item->setIcon(0, style()->standardIcon(QStyle::SP_FileIcon));
        }
        m_tree->expandAll();
        const int keptTopic = FindTopic(topics, kept);
        SelectTopic(keptTopic >= 0 ? keptTopic : 0);

        m_list->clear();
        for (const IndexEntry &entry : m_help->Index)
            m_list->addItem(entry.Keyword);
        SelectKeyword(m_search->text());
    }

    void SelectTopic(int topic)
    {
        for (QTreeWidgetItemIterator it(m_tree); *it; ++it) {
            if ((*it)->data(0, Qt::UserRole).toInt() == topic) {
                m_tree->setCurrentItem(*it);
                m_tree->scrollToItem(*it);
                return;
            }
        }
    }

    // The topic of that id in this window's reading, which may be newer than the one it was seen in.
    void SelectTopicId(const QString &id)
    {
        m_tabs->setCurrentIndex(ContentsTab);
        const int topic = FindTopic(m_help->Text.Topics, id);
        if (topic >= 0)
            SelectTopic(topic);
    }

protected:
    void hideEvent(QHideEvent *event) override
    {
        QWidget::hideEvent(event);
        NoteHidden();
    }

    bool eventFilter(QObject *watched, QEvent *event) override
    {
        if (watched == m_search && event->type() == QEvent::KeyPress) {
            const int key = static_cast<QKeyEvent *>(event)->key();
            if (key == Qt::Key_Up || key == Qt::Key_Down || key == Qt::Key_PageUp || key == Qt::Key_PageDown) {
                QCoreApplication::sendEvent(m_list, event);
                return true;
            }
        }
        return QWidget::eventFilter(watched, event);
    }

private:
    static constexpr int ContentsTab = 0;
    static constexpr int IndexTab = 1;

    QString CurrentTopicId() const
    {
        const int topic = m_tree->currentItem()->data(0, Qt::UserRole).toInt();
        return topic >= 0 && topic < m_help->Text.Topics.size() ? m_help->Text.Topics[topic].Id : QString();
    }

    void SelectKeyword(const QString &typed)
    {
        const int row = FindKeyword(m_help->Index, typed);
        if (row < 0)
            return;
        m_list->setCurrentRow(row);
        m_list->scrollToItem(m_list->item(row), QAbstractItemView::PositionAtTop);
    }

    void ShowSelected()
    {
        if (m_tabs->currentIndex() == ContentsTab) {
            QTreeWidgetItem *item = m_tree->currentItem();
            if (!item)
                return;
            const int topic = item->data(0, Qt::UserRole).toInt();
            if (topic < 0)
                item->setExpanded(!item->isExpanded());
            else
                Open(topic);
            return;
        }
        const int row = m_list->currentRow();
        if (row < 0 || row >= m_help->Index.size())
            return;
        const IndexEntry &entry = m_help->Index[row];
        if (entry.Topics.size() == 1)
            Open(entry.Topics.front());
        else
            Choose(entry);
    }

    void Open(int topic)
    {
        OpenTopic(m_help, topic);
        hide();
    }

    // A keyword carried by several topics: the reader picks one from a short list.
    void Choose(const IndexEntry &entry)
    {
        auto *dialog = new QDialog(this);
        dialog->setAttribute(Qt::WA_DeleteOnClose);
        Identify(dialog, QStringLiteral("RubriquesTrouvees"));
        dialog->setWindowTitle(QStringLiteral("Rubriques trouvées"));
        auto *layout = new QVBoxLayout(dialog);
        layout->addWidget(new QLabel(QStringLiteral("Cliquez sur une rubrique, puis sur Afficher."), dialog));
        auto *list = new QListWidget(dialog);
        Identify(list, QStringLiteral("ListeRubriques"));
        for (int topic : entry.Topics) {
            auto *item = new QListWidgetItem(m_help->Text.Topics[topic].Title, list);
            item->setData(Qt::UserRole, topic);
        }
        list->setCurrentRow(0);
        layout->addWidget(list);
        auto *buttons = new QDialogButtonBox(dialog);
        QPushButton *show = buttons->addButton(QStringLiteral("Afficher"), QDialogButtonBox::AcceptRole);
        show->setObjectName(QStringLiteral("Afficher"));
        buttons->addButton(QStringLiteral("Annuler"), QDialogButtonBox::RejectRole)
            ->setObjectName(QStringLiteral("Annuler"));
        show->setDefault(true);
        layout->addWidget(buttons);

        connect(buttons, &QDialogButtonBox::accepted, dialog, &QDialog::accept);
        connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
        connect(list, &QListWidget::itemActivated, dialog, &QDialog::accept);
        // The reading is held by the dialog's handler: a new reading meanwhile does not shift the topics chosen.
        connect(dialog, &QDialog::accepted, this, [this, list, help = m_help] {
            if (const QListWidgetItem *item = list->currentItem()) {
                OpenTopic(help, item->data(Qt::UserRole).toInt());
                hide();
            }
        });
        dialog->open();
    }

    SharedHelp m_help;
    QTabWidget *m_tabs = nullptr;
    QTreeWidget *m_tree = nullptr;
    QLineEdit *m_search = nullptr;
    QListWidget *m_list = nullptr;
};

QPointer<TopicsView> &CurrentTopicsView()
{
    static QPointer<TopicsView> view;
    return view;
}

TopicsView *EnsureTopicsView()
{
    QPointer<TopicsView> &view = CurrentTopicsView();
    if (!view) {
        view = new TopicsView;
        CentreOnScreen(view);
    }
    return view;
}

void OpenContents(const SharedHelp &help, int topic)
{
    const bool open = !CurrentTopicsView().isNull();
    TopicsView *view = EnsureTopicsView();
    if (!open)
        view->Load(help);
    if (topic >= 0 && topic < help->Text.Topics.size())
        view->SelectTopicId(help->Text.Topics[topic].Id);
    BringToFront(view);
}

QString RefusalText(Refusal refusal, const QString &path)
{
    switch (refusal) {
    case Refusal::TooLarge:
        return QStringLiteral("Le fichier d'aide %1 est trop volumineux : sa taille ne doit pas dépasser %2.")
            .arg(path, safefile::LimitText(safefile::HelpLimit));
    case Refusal::TooDeep:
        return QStringLiteral("Le fichier d'aide %1 est trop profondément imbriqué : ses balises ne doivent pas "
                              "s'imbriquer sur plus de %2 niveaux.")
            .arg(path, QString::number(NestingLimit));
    case Refusal::TooComplex:
        return QStringLiteral("Le fichier d'aide %1 est trop chargé : une rubrique ne doit pas compter plus de %2 "
                              "balises, ni ses styles plus de %3 caractères.")
            .arg(path, QString::number(TopicElementLimit), QString::number(StyleLimit));
    case Refusal::None:
    case Refusal::CannotOpen:
        break;
    }
    return QStringLiteral("Impossible d'ouvrir le fichier d'aide %1.").arg(path);
}

void CheckAllClosed()
{
    const QWidget *topics = CurrentTopicsView();
    const QWidget *topic = CurrentTopicView();
    if ((topics && topics->isVisible()) || (topic && topic->isVisible()) || !WhenAllClosed())
        return;
    const std::function<void()> then = std::move(WhenAllClosed());
    WhenAllClosed() = nullptr;
    then();
}

} // namespace

void ShowTopics(const QString &helpFile, std::function<void()> whenAllClosed, const Report &report)
{
    WhenAllClosed() = std::move(whenAllClosed);
    HelpReading reading = ReadHelp(helpFile);
    if (reading.Refused != Refusal::None) {
        const QString path = QDir::isAbsolutePath(helpFile) ? helpFile : QDir::current().absoluteFilePath(helpFile);
        report(QStringLiteral("Aide"), RefusalText(reading.Refused, QDir::toNativeSeparators(path)));
        // Nothing opened: the reader is back where they were at once.
        CheckAllClosed();
        return;
    }
    auto help = std::make_shared<Help>();
    help->Index = BuildIndex(reading.Text.Topics);
    help->Text = std::move(reading.Text);
    TopicsView *view = EnsureTopicsView();
    view->Load(help);
    BringToFront(view);
}

QWidget *TopicsWindow()
{
    return CurrentTopicsView();
}

QWidget *TopicWindow()
{
    return CurrentTopicView();
}

} // namespace helpviewer
