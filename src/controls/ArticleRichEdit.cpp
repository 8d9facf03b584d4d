// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "ArticleRichEdit.h"

#include <QBuffer>
#include <QTextBlock>

#include <vector>

const char TArticleRichEdit::HyperlinkTemplate[] =
    "{\\rtf1{\\colortbl ;\\red0\\green0\\blue255;}{\\field{\\*\\fldinst { HYPERLINK \"%s\" }}{\\fldrslt{\\cf1\\ul "
    "%s}}}\\cf0\\ulnone}";

namespace {

TVtlStreamModes ModesOf(int modes)
{
    TVtlStreamModes result;
    if (modes & 1)
        result |= smPlainRtf;
    if (modes & 2)
        result |= smSelection;
    return result;
}

// Backslashes are doubled; characters beyond 7 bits go as \uN? so captions keep full Unicode.
// Braces are escaped as well: a brace taken as it is would close the field early and cut the
// shown text short.
QByteArray TemplateArgument(const QString &value)
{
    QByteArray out;
    out.reserve(value.size() + 8);
    for (const QChar ch : value) {
        const char16_t unit = ch.unicode();
        if (unit == u'\\')
            out += "\\\\";
        else if (unit == u'{' || unit == u'}')
            out += '\\' + QByteArray(1, char(unit));
        else if (unit < 0x80)
            out += char(unit);
        else
            out += "\\u" + QByteArray::number(qint16(unit)) + '?';
    }
    return out;
}

} // namespace

TArticleRichEdit::TArticleRichEdit(QWidget *parent) : TVtlRichEdit(parent)
{
    setObjectName(QStringLiteral("ArticleEditor"));
    setMouseTracking(true);
}

int TArticleRichEdit::CaretLine() const
{
    return LineFromChar(SelStart() + SelLength());
}

int TArticleRichEdit::CaretColumn() const
{
    return SelStart() + SelLength() - CharFromLine(CaretLine());
}

quint16 TArticleRichEdit::FirstVisibleLine() const
{
    return quint16(qBound(0, TVtlRichEdit::FirstVisibleLine(), 0xFFFF));
}

void TArticleRichEdit::SetFirstVisibleLine(quint16 line)
{
    const int delta = int(line) - int(FirstVisibleLine());
    if (delta > 0)
        LineScroll(delta);
}

TRxTextAttributes &TArticleRichEdit::CurrentAttributes()
{
    return SelectionType() ? SelAttributes() : WordAttributes();
}

void TArticleRichEdit::StreamIn(QIODevice &stream, int format, int modes)
{
    TVtlRichEdit::StreamIn(stream, format == 1 ? sfRichText : sfPlainText, ModesOf(modes));
}

void TArticleRichEdit::StreamOut(QIODevice &stream, int format, int modes)
{
    TVtlRichEdit::StreamOut(stream, format == 1 ? sfRichText : sfPlainText, ModesOf(modes));
}

QByteArray TArticleRichEdit::HyperlinkRtf(const QString &target, const QString &text)
{
    QByteArray rtf(HyperlinkTemplate);
    const QByteArray placeholder("%s");
    const qsizetype first = rtf.indexOf(placeholder);
    const QByteArray targetBytes = TemplateArgument(target);
    rtf.replace(first, placeholder.size(), targetBytes);
    const qsizetype second = rtf.indexOf(placeholder, first + targetBytes.size());
    rtf.replace(second, placeholder.size(), TemplateArgument(text));
    return rtf;
}

void TArticleRichEdit::InsertHyperlink(const QString &target, const QString &text)
{
    QByteArray rtf = HyperlinkRtf(target, text);
    QBuffer buffer(&rtf);
    buffer.open(QIODevice::ReadOnly);
    StreamIn(buffer, 1, 2);
    // The field ends with colour 0 and no underline; text typed next must not join the link either,
    // which it would by taking the format of the character before the caret.
    QTextCharFormat after = textCursor().charFormat();
    if (after.isAnchor()) {
        after.setAnchor(false);
        after.setAnchorHref(QString());
        after.clearForeground();
        after.setFontUnderline(false);
        setCurrentCharFormat(after);
    }
}

bool TArticleRichEdit::SelectLinkAtCaret(QString &target, QString &text)
{
    const QTextCursor caret = textCursor();
    const int start = caret.selectionStart();
    const int end = caret.selectionEnd();
    // The character after the caret first, then the one before it, so that a caret just behind
    // a link still finds it.
    for (const int position : {start, start - 1}) {
        if (position < 0)
            continue;
        const QTextBlock block = document()->findBlock(position);
        if (!block.isValid())
            continue;
        std::vector<QTextFragment> fragments;
        for (auto it = block.begin(); !it.atEnd(); ++it)
            fragments.push_back(it.fragment());
        const auto href = [](const QTextFragment &fragment) {
            const QTextCharFormat format = fragment.charFormat();
            return format.isAnchor() ? format.anchorHref() : QString();
        };
        std::size_t i = 0;
        while (i < fragments.size() && position >= fragments[i].position() + fragments[i].length())
            ++i;
        if (i == fragments.size() || position < fragments[i].position())
            continue;
        const QString found = href(fragments[i]);
        if (found.isEmpty())
            continue;
        // A link may span several fragments when parts of its text are formatted differently.
        std::size_t first = i;
        std::size_t last = i;
        while (first > 0 && href(fragments[first - 1]) == found)
            --first;
        while (last + 1 < fragments.size() && href(fragments[last + 1]) == found)
            ++last;
        const int linkStart = fragments[first].position();
        const int linkEnd = fragments[last].position() + fragments[last].length();
        if (start < linkStart || end > linkEnd)
            continue;
        QTextCursor link(document());
        link.setPosition(linkStart);
        link.setPosition(linkEnd, QTextCursor::KeepAnchor);
        setTextCursor(link);
        target = found;
        text = link.selectedText();
        return true;
    }
    return false;
}

bool TArticleRichEdit::InsertPicture(const QString &fileName)
{
    QImage image;
    QByteArray data;
    int kind = 0;
    ReadPicture(fileName, image, data, kind);
    InsertImage(image, data, kind);
    return true;
}

void TArticleRichEdit::enterEvent(QEnterEvent *event)
{
    TVtlRichEdit::enterEvent(event);
    Q_EMIT mouseEntered();
}

void TArticleRichEdit::leaveEvent(QEvent *event)
{
    TVtlRichEdit::leaveEvent(event);
    Q_EMIT mouseLeft();
}
