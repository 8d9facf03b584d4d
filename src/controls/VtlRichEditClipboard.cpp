// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "VtlRichEdit.h"

#include "EditorTexts.h"
#include "VtlHtmlClipping.h"
#include "platform/QBDialogs.h"
#include "rtf/QBRtfPictures.h"
#include "rtf/QBRtfReader.h"
#include "rtf/QBRtfWriter.h"

#include <QApplication>
#include <QBuffer>
#include <QClipboard>
#include <QDialog>
#include <QDialogButtonBox>
#include <QImageReader>
#include <QLabel>
#include <QListWidget>
#include <QMimeData>
#include <QTextDocumentFragment>
#include <QVBoxLayout>
#include <algorithm>

namespace {

const char RtfMime[] = "text/rtf";
const char RtfMimeAlt[] = "application/rtf";
const char HtmlMime[] = "text/html";

QString RtfMimeFormat(const QMimeData *data)
{
    if (!data)
        return {};
    if (data->hasFormat(QLatin1String(RtfMime)))
        return QLatin1String(RtfMime);
    if (data->hasFormat(QLatin1String(RtfMimeAlt)))
        return QLatin1String(RtfMimeAlt);
    return {};
}

// Qt names a decoded picture; a picture file of another program comes as its own type.
bool HasPicture(const QMimeData *data)
{
    if (data->hasImage())
        return true;
    const QStringList formats = data->formats();
    return std::any_of(formats.begin(), formats.end(),
                       [](const QString &format) { return format.startsWith(QLatin1String("image/")); });
}

} // namespace

bool TVtlRichEdit::CanPaste() const
{
    return !isReadOnly() && canInsertFromMimeData(QApplication::clipboard()->mimeData());
}

bool TVtlRichEdit::CanPasteFormat(TVtlPasteFormat format) const
{
    const QMimeData *data = QApplication::clipboard()->mimeData();
    if (!data || isReadOnly())
        return false;
    switch (format) {
    case pfRichText:
    case pfRichTextNoObjects:
        return !FPlainText && !RtfMimeFormat(data).isEmpty();
    case pfText:
        return data->hasText();
    case pfBitmap:
        return !FPlainText && HasPicture(data);
    case pfHtml:
        return !FPlainText && data->hasFormat(QLatin1String(HtmlMime));
    }
    return false;
}

void TVtlRichEdit::PasteSpecial(TVtlPasteFormat format)
{
    if (!CanPasteFormat(format))
        return;
    const QMimeData *data = QApplication::clipboard()->mimeData();
    switch (format) {
    case pfRichText:
    case pfRichTextNoObjects:
        InsertRtf(data->data(RtfMimeFormat(data)), format == pfRichText);
        break;
    case pfText:
        insertPlainText(data->text());
        break;
    case pfBitmap:
        PastePicture(data);
        break;
    case pfHtml:
        PasteHtml(data);
        break;
    }
    ensureCursorVisible();
}

bool TVtlRichEdit::PasteSpecialDialog()
{
    struct TChoice
    {
        TVtlPasteFormat Format;
        QString Name;
        QString Result;
    };
    const QList<TChoice> all = {
        {pfRichText, EditorText("SPasteRtf", "Rich Text Format"), EditorText("SPasteRtfResult", "Rich Text Format")},
        {pfRichTextNoObjects, EditorText("SPasteRtfNoObjs", "Rich Text Format Without Objects"),
         EditorText("SPasteRtfNoObjsResult", "Rich Text Format Without Objects")},
        {pfHtml, EditorText("SPasteHtml", "HTML"), EditorText("SPasteHtmlResult", "formatted text from a web page")},
        {pfText, EditorText("SPasteText", "Unformatted text"),
         EditorText("SPasteTextResult", "text without any formatting")},
        {pfBitmap, EditorText("SPasteBitmap", "Windows Bitmap"), EditorText("SPasteBitmapResult", "bitmap image")},
    };
    QList<TChoice> available;
    for (const TChoice &choice : all) {
        if (CanPasteFormat(choice.Format))
            available.append(choice);
    }
    if (available.isEmpty())
        return false;

    QDialog dialog(this);
    dialog.setObjectName(QStringLiteral("PasteSpecialDialog"));
    dialog.setWindowTitle(EditorText("SPasteSpecial", "Paste Special"));
    auto *layout = new QVBoxLayout(&dialog);
    layout->addWidget(new QLabel(EditorText("SPasteAs", "As:"), &dialog));
    auto *list = new QListWidget(&dialog);
    list->setObjectName(QStringLiteral("lbFormats"));
    for (const TChoice &choice : std::as_const(available))
        list->addItem(choice.Name);
    list->setCurrentRow(0);
    layout->addWidget(list);
    auto *result = new QLabel(&dialog);
    result->setWordWrap(true);
    layout->addWidget(result);
    auto updateResult = [&] {
        const int row = list->currentRow();
        if (row >= 0)
            result->setText(EditorText("SPasteResult", "Inserts the contents of the clipboard into your document as ") +
                            available.at(row).Result + QLatin1Char('.'));
    };
    connect(list, &QListWidget::currentRowChanged, &dialog, updateResult);
    updateResult();
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    connect(list, &QListWidget::itemDoubleClicked, &dialog, &QDialog::accept);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted || list->currentRow() < 0)
        return false;
    PasteSpecial(available.at(list->currentRow()).Format);
    return true;
}

void TVtlRichEdit::InsertRtf(const QByteArray &rtf, bool withObjects)
{
    QTextCursor cursor = textCursor();
    const int start = cursor.selectionStart();
    cursor.beginEditBlock();
    TQBRtfReader::Insert(cursor, rtf);
    if (!withObjects) {
        const int end = cursor.position();
        QTextCursor scan(document());
        for (int position = end - 1; position >= start; --position) {
            if (document()->characterAt(position) == QChar::ObjectReplacementCharacter) {
                scan.setPosition(position);
                scan.setPosition(position + 1, QTextCursor::KeepAnchor);
                scan.removeSelectedText();
            }
        }
    }
    cursor.endEditBlock();
    setTextCursor(cursor);
}

void TVtlRichEdit::PasteHtml(const QMimeData *data)
{
    // Another program's picture arrives as a file, read only once its size is known to be bearable.
    VtlHtmlClipping::TPicture picture;
    picture.Data = data->data(QStringLiteral("image/png"));
    if (picture.Data.isEmpty() && data->hasFormat(QStringLiteral("application/x-qt-image")))
        picture.Image = qvariant_cast<QImage>(data->imageData());
    QTextCharFormat base;
    const QTextCharFormat here = textCursor().charFormat();
    const QStringList families = here.fontFamilies().toStringList();
    base.setFontFamilies(families.isEmpty() ? QStringList{document()->defaultFont().family()} : families);
    base.setFontPointSize(here.fontPointSize() > 0 ? here.fontPointSize() : document()->defaultFont().pointSizeF());
    const TVtlHtmlClipping clipping = VtlHtmlClipping::Import(data->data(QLatin1String(HtmlMime)), picture, base);
    if (!clipping.Rtf.isEmpty())
        InsertRtf(clipping.Rtf, true);
    else if (!clipping.Refused && clipping.Message.isEmpty() && HasPicture(data))
        PastePicture(data);
    else if (data->hasText())
        insertPlainText(data->text());
    ensureCursorVisible();
    if (clipping.Refused && !data->hasText())
        QBDialogs::Information(this, EditorText("SHtmlNothingPasted", "The web page on the clipboard is too large "
                                                                      "to paste, and it holds no plain text."));
    else if (!clipping.Message.isEmpty())
        QBDialogs::Information(this, clipping.Message);
}

QMimeData *TVtlRichEdit::createMimeDataFromSelection() const
{
    auto *data = new QMimeData;
    const QTextCursor cursor = textCursor();
    QString text = cursor.selectedText();
    text.remove(QChar::ObjectReplacementCharacter);
    text.replace(QChar::ParagraphSeparator, QLatin1Char('\n'));
    text.replace(QChar::LineSeparator, QLatin1Char('\n'));
    data->setText(text);
    if (!FPlainText) {
        const QByteArray rtf = TQBRtfWriter::WriteSelection(cursor);
        data->setData(QLatin1String(RtfMime), rtf);
        data->setData(QLatin1String(RtfMimeAlt), rtf);
        data->setHtml(cursor.selection().toHtml());
        // A selected picture also travels as an image for programs that take no rich text.
        if (SelectionType() == TVtlSelectionType(stObject)) {
            QTextCursor first(document());
            first.setPosition(cursor.selectionStart() + 1);
            const QTextCharFormat format = first.charFormat();
            if (format.isImageFormat()) {
                const QVariant image =
                    document()->resource(QTextDocument::ImageResource, QUrl(format.toImageFormat().name()));
                if (image.canConvert<QImage>())
                    data->setImageData(image);
            }
        }
    }
    return data;
}

bool TVtlRichEdit::canInsertFromMimeData(const QMimeData *source) const
{
    if (!source)
        return false;
    if (!FPlainText && (!RtfMimeFormat(source).isEmpty() || HasPicture(source)))
        return true;
    return source->hasText() || QTextEdit::canInsertFromMimeData(source);
}

void TVtlRichEdit::insertFromMimeData(const QMimeData *source)
{
    if (!source || isReadOnly())
        return;
    if (!FPlainText) {
        const QString rtf = RtfMimeFormat(source);
        if (!rtf.isEmpty()) {
            InsertRtf(source->data(rtf), true);
            ensureCursorVisible();
            return;
        }
        // A browser's "copy image" puts the picture beside HTML that names it; the HTML reader takes those pixels.
        if (source->hasFormat(QLatin1String(HtmlMime))) {
            PasteHtml(source);
            return;
        }
        if (HasPicture(source)) {
            PastePicture(source);
            ensureCursorVisible();
            return;
        }
    }
    if (source->hasText()) {
        insertPlainText(source->text());
        ensureCursorVisible();
    }
}

void TVtlRichEdit::PastePicture(const QMimeData *data)
{
    const auto tooLarge = [this] {
        QBDialogs::Information(this, EditorText("SPictureTooLarge", "The picture is too large."));
    };
    const QStringList formats = data->formats();
    for (const QString &format : formats) {
        if (!format.startsWith(QLatin1String("image/")))
            continue;
        QByteArray bytes = data->data(format);
        QBuffer buffer(&bytes);
        buffer.open(QIODevice::ReadOnly);
        QImageReader reader(&buffer);
        reader.setDecideFormatFromContent(true);
        const QSize size = reader.size();
        if (!size.isValid())
            continue;
        const qint64 pixels = qint64(size.width()) * size.height();
        if (!QBRtfPictures::SizeAllowed(pixels, bytes.size())) {
            tooLarge();
            return;
        }
        const QImage image = reader.read();
        if (!image.isNull()) {
            InsertImage(image);
            return;
        }
    }
    // A picture of this program or another Qt program arrives already decoded.
    const QImage image = qvariant_cast<QImage>(data->imageData());
    if (qint64(image.width()) * image.height() > QBRtfPictures::MaxPixels)
        tooLarge();
    else
        InsertImage(image);
}
