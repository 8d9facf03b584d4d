// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "AppFrame.h"

#include "controls/ArticleRichEdit.h"
#include "framework/QBStrings.h"
#include "platform/QBAppShared.h"
#include "platform/QBDialogs.h"
#include "platform/QBImages.h"
#include "platform/QBShell.h"

#include <QAction>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLocale>
#include <QMimeDatabase>
#include <QSaveFile>
#include <QUrl>

namespace {

const char AnyFileFilter[] = "All files (*.*)|*.*";

// Types whose "opening" runs them: a document should not start a program behind the user's back.
bool RunsAsProgram(const TQBAttachment &attachment)
{
    static const char *const programTypes[] = {
        "application/x-executable",
        "application/x-sharedlib",
        "application/x-shellscript",
        "application/x-desktop",
        "application/x-ms-dos-executable",
        "application/x-msdownload",
        "application/x-msi",
        "application/java-archive",
        "application/x-perl",
        "text/x-python",
        "text/x-python3",
        "application/x-ruby",
        "application/vnd.microsoft.portable-executable",
        "application/x-appimage",
        "application/x-bat",
    };
    const QMimeDatabase mimes;
    for (const QMimeType &type : {mimes.mimeTypeForFileNameAndData(attachment.FileName, attachment.Data),
                                  mimes.mimeTypeForFile(attachment.FileName, QMimeDatabase::MatchExtension)}) {
        for (const char *program : programTypes) {
            if (type.inherits(QString::fromLatin1(program)))
                return true;
        }
    }
    return attachment.Data.startsWith("#!");
}

} // namespace

void TFAppFrame::CreateObjectActions()
{
    InsertObject =
        NewAction(QStringLiteral("InsertObject"), QStringLiteral("&Object..."),
                  QStringLiteral("Object|Attach a file to the text; a double click opens it"), ciInsertObject);
    ObjectOpen = NewAction(QStringLiteral("ObjectOpen"), QStringLiteral("&Open attachment"),
                           QStringLiteral("Open attachment|Open the attached file with its program"));
    ObjectSaveAs = NewAction(QStringLiteral("ObjectSaveAs"), QStringLiteral("Save attachment &as..."),
                             QStringLiteral("Save attachment as|Save a copy of the attached file"));
    connect(InsertObject, &QAction::triggered, this, &TFAppFrame::InsertObjectExecute);
    connect(ObjectOpen, &QAction::triggered, this, &TFAppFrame::ObjectOpenExecute);
    connect(ObjectSaveAs, &QAction::triggered, this, &TFAppFrame::ObjectSaveAsExecute);
    connect(RichEdit, &TVtlRichEdit::objectDoubleClicked, this, &TFAppFrame::RichEditObjectDoubleClick);
}

void TFAppFrame::InsertObjectExecute()
{
    const QString fileName = QBDialogs::OpenFileName(this, QString::fromLatin1(AnyFileFilter), QString());
    if (fileName.isEmpty())
        return;
    // Measured before it is read: a file far too large is never loaded.
    if (QFileInfo(fileName).size() > QBRtfObjects::MaxAttachmentBytes) {
        const QString limit = QLocale().formattedDataSize(QBRtfObjects::MaxAttachmentBytes);
        QBDialogs::Warning(this, QBFormatStr(QBAppLocalizer(), QBStrings::SAttachmentTooLarge, {fileName, limit}));
        return;
    }
    std::optional<QByteArray> data = ReadChosenFile(fileName, QBRtfObjects::MaxAttachmentBytes);
    if (!data)
        return;
    TQBAttachment attachment;
    attachment.FileName = QBRtfObjects::SafeFileName(QFileInfo(fileName).fileName());
    attachment.Data = std::move(*data);
    RichEdit->InsertAttachment(attachment);
    RichEdit->setFocus();
}

std::optional<TQBAttachment> TFAppFrame::SelectedAttachment()
{
    const int position = RichEdit->SelectedObject();
    if (position < 0)
        return std::nullopt;
    std::optional<TQBAttachment> attachment = RichEdit->AttachmentAt(position);
    if (!attachment && RichEdit->HasAttachmentAt(position))
        QBDialogs::Warning(this, QBLoadStr(QBAppLocalizer(), QBStrings::SDamagedAttachment));
    return attachment;
}

void TFAppFrame::RichEditObjectDoubleClick(int position)
{
    // Pictures and objects of other programs have nothing to open here.
    if (RichEdit->HasAttachmentAt(position))
        ObjectOpenExecute();
}

void TFAppFrame::ObjectOpenExecute()
{
    const std::optional<TQBAttachment> attachment = SelectedAttachment();
    if (!attachment)
        return;
    if (RunsAsProgram(*attachment)) {
        const QString question = QBFormatStr(QBAppLocalizer(), QBStrings::SConfirmOpenProgram, {attachment->FileName});
        if (QBDialogs::Question(this, question, QMessageBox::Yes | QMessageBox::No) != QMessageBox::Yes)
            return;
    }
    if (!FAttachmentDir || !FAttachmentDir->isValid())
        FAttachmentDir = std::make_unique<QTemporaryDir>(QDir::tempPath() + QStringLiteral("/quillbox-XXXXXX"));
    // A folder per copy: two attachments of the same name must not overwrite each other while open.
    const QString folder = FAttachmentDir->filePath(QString::number(++FAttachmentCount));
    const QString path = folder + QLatin1Char('/') + attachment->FileName;
    QSaveFile file(path);
    if (!FAttachmentDir->isValid() || !QDir().mkpath(folder) || !file.open(QIODevice::WriteOnly) ||
        file.write(attachment->Data) != attachment->Data.size() || !file.commit()) {
        const QString reason = FAttachmentDir->isValid() ? file.errorString() : FAttachmentDir->errorString();
        QBDialogs::Warning(this, QBFormatStr(QBAppLocalizer(), QBStrings::SCannotWriteAttachment, {path, reason}));
        return;
    }
    // Read-only: changes made in the other program would not come back into the document.
    QFile::setPermissions(path, QFileDevice::ReadOwner);
    if (QBOpenUrl(QUrl::fromLocalFile(path)))
        return;
    const QString question = QBFormatStr(QBAppLocalizer(), QBStrings::SNoAssociation, {attachment->FileName});
    if (QBDialogs::Question(this, question, QMessageBox::Yes | QMessageBox::No) == QMessageBox::Yes &&
        !QBOpenUrl(QUrl::fromLocalFile(folder)))
        QBDialogs::Warning(this, QBFormatStr(QBAppLocalizer(), QBStrings::SCannotOpenLocation, {folder}));
}

void TFAppFrame::ObjectSaveAsExecute()
{
    const std::optional<TQBAttachment> attachment = SelectedAttachment();
    if (!attachment)
        return;
    const QString fileName =
        QBDialogs::SaveFileName(this, QString::fromLatin1(AnyFileFilter), QString(), attachment->FileName);
    if (fileName.isEmpty())
        return;
    QSaveFile file(fileName);
    if (!file.open(QIODevice::WriteOnly) || file.write(attachment->Data) != attachment->Data.size() || !file.commit())
        QBDialogs::Warning(
            this, QBFormatStr(QBAppLocalizer(), QBStrings::SCannotWriteAttachment, {fileName, file.errorString()}));
}
