// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QList>
#include <QString>
#include <QVariantList>

class TNVKCustomResourceManager;

// A message text that language files can replace: its name in the files and its built-in English text.
struct TQBNamedText
{
    const char *Name;
    const char *Default;
};

// The program's named texts. Texts with "%s" or "%d" are patterns for Format.
namespace QBStrings {
inline constexpr TQBNamedText SDocumentFilter{
    "SDocumentFilter", "Quillbox documents (*.xqb)|*.xqb|XML documents (*.xml)|*.xml|All files (*.*)|*.*"};
inline constexpr TQBNamedText SConfirmSave{"SConfirmSave",
                                           "Document '%s' has been changed. Do you wish to save changes?"};
inline constexpr TQBNamedText SSaveOldVersion{
    "SSaveOldVersion", "The document has older version format and will be updated. Quillbox can save a copy of the "
                       "document in its original format as '%s'.\r\nDo you wish to save it (recommended)?"};
inline constexpr TQBNamedText SConfirmDelete{"SConfirmDelete", "Do you wish to delete article '%s'?"};
inline constexpr TQBNamedText SConfirmDeleteChildren{"SConfirmDeleteChildren",
                                                     "Do you wish to delete article '%s' and all of its subarticles?"};
inline constexpr TQBNamedText SNoFilter{"SNoFilter", "(no filter)"};
inline constexpr TQBNamedText SArticleNotFound{"SArticleNotFound", "Article not found. ID = %s."};
inline constexpr TQBNamedText SBack{"SBack", "Back to '%s'|"};
inline constexpr TQBNamedText SForward{"SForward", "Forward to '%s'|"};
inline constexpr TQBNamedText SEmpty{"SEmpty", "Empty"};
inline constexpr TQBNamedText SLevel{"SLevel", "Level"};
inline constexpr TQBNamedText SSubarticles{"SSubarticles", "Subarticles"};
inline constexpr TQBNamedText SInvalidFontSize{"SInvalidFontSize", "'%s' is not a valid font size."};
inline constexpr TQBNamedText SCannotOpenLocation{"SCannotOpenLocation", "Cannot open location %s."};
inline constexpr TQBNamedText SNoAssociation{
    "SNoAssociation", "There is no program associated with %s.\r\nDo you wish to explore it instead?"};
inline constexpr TQBNamedText SLineLimit{
    "SLineLimit", "The current article contains only %d lines. Please enter a number between 1 and %d."};
inline constexpr TQBNamedText SExportSuccess{"SExportSuccess", "The document was successfully exported to '%s'."};
inline constexpr TQBNamedText SPrintProgress{"SPrintProgress", "Processing: %s"};
inline constexpr TQBNamedText SErrorDefault{"SErrorDefault", "Sorry, requested operation could not be completed."};
inline constexpr TQBNamedText STipsError{"STipsError", "Quillbox failed to load the file '%s'.\r\nError message: %s"};
inline constexpr TQBNamedText SNoFileName{"SNoFileName", "A valid file name required for this option."};
inline constexpr TQBNamedText SInvalidEncoding{"SInvalidEncoding", "Error setting default document encoding: %s"};
inline constexpr TQBNamedText SInvalidLanguageFile{"SInvalidLanguageFile", "'%s' is not a valid language file."};
inline constexpr TQBNamedText SConfirmReplaceLang{
    "SConfirmReplaceLang", "Localization file for language '%s' already exists. Do you wish to replace it?"};
inline constexpr TQBNamedText SErrorCreateDir{"SErrorCreateDir", "Cannot create directory '%s'."};
inline constexpr TQBNamedText SErrorCopyFile{"SErrorCopyFile", "Cannot copy file '%s' to '%s'."};
inline constexpr TQBNamedText SLangAdded{"SLangAdded", "Language '%s' has been successfully added. Please restart "
                                                       "Quillbox to update list of available languages."};
inline constexpr TQBNamedText SSaved{"SSaved", "Saved"};
inline constexpr TQBNamedText SOutlinePage{"SOutlinePage", "Outline"};
inline constexpr TQBNamedText SCannotReadFile{"SCannotReadFile", "Cannot read the file '%s'.\r\n%s"};
inline constexpr TQBNamedText SNoCharMap{
    "SNoCharMap", "No character map program was found. Please install gucharmap or kcharselect."};
inline constexpr TQBNamedText SNoCalculator{
    "SNoCalculator", "No calculator program was found. Please install gnome-calculator, kcalc or galculator."};
inline constexpr TQBNamedText SCannotStartProgram{"SCannotStartProgram", "Cannot start the program '%s'."};
inline constexpr TQBNamedText SBackupFailed{"SBackupFailed", "Cannot make the backup copy of '%s' as '%s': %s"};
inline constexpr TQBNamedText SMatchArticleDeleted{"SMatchArticleDeleted",
                                                   "The article '%s' of this match has been deleted."};
inline constexpr TQBNamedText SSearchFailed{"SSearchFailed", "The search stopped: %s"};
inline constexpr TQBNamedText SNoMatches{"SNoMatches", "No matches"};
inline constexpr TQBNamedText SMatchCount{"SMatchCount", "Matches: %d"};
inline constexpr TQBNamedText SPrintFailed{"SPrintFailed", "Cannot print to '%s'."};
inline constexpr TQBNamedText SPreviewStatus{"SPreviewStatus", " Page %d of %d "};
inline constexpr TQBNamedText SCentimetres{"SCentimetres", "centimetres"};
inline constexpr TQBNamedText SInches{"SInches", "inches"};
inline constexpr TQBNamedText SLines{"SLines", "lines"};
inline constexpr TQBNamedText SAttachmentTooLarge{
    "SAttachmentTooLarge", "The file '%s' is larger than %s and cannot be attached. Insert a hyperlink to it instead."};
inline constexpr TQBNamedText SConfirmOpenProgram{
    "SConfirmOpenProgram", "The attachment '%s' is a program or a script. Programs from a document can harm your "
                           "computer.\r\nDo you want to open it anyway?"};
inline constexpr TQBNamedText SCannotWriteAttachment{"SCannotWriteAttachment",
                                                     "Cannot write the attachment to '%s'.\r\n%s"};
inline constexpr TQBNamedText SChangedOnDisk{
    "SChangedOnDisk",
    "The file '%s' was changed by another program since Quillbox opened or saved it.\r\n\r\nYes: replace it with "
    "this document (the other program's changes are lost).\r\nNo: save this document under another name.\r\n"
    "Cancel: do not save now."};
inline constexpr TQBNamedText SAutosaveSkipped{
    "SAutosaveSkipped", "Not saved automatically: another program changed '%s'. Save by hand to decide."};
inline constexpr TQBNamedText SRecoveryOffer{
    "SRecoveryOffer", "Quillbox did not end properly. A recovery copy of '%s' from %s holds changes that were not "
                      "saved.\r\n\r\nYes: open it (the document's own file stays as it is until you save).\r\nNo: "
                      "delete the copy.\r\nCancel: keep the copy and ask again next time."};
inline constexpr TQBNamedText SRecoveryDamaged{"SRecoveryDamaged",
                                               "The recovery copy of '%s' cannot be read: %s\r\nIt was kept as '%s'."};
inline constexpr TQBNamedText SRecoveryCopyFailed{"SRecoveryCopyFailed", "The recovery copy could not be written: %s"};
inline constexpr TQBNamedText SDamagedAttachment{"SDamagedAttachment",
                                                 "The attachment is damaged; its file cannot be read."};
inline constexpr TQBNamedText SMoreDetails{"SMoreDetails", "More >>"};
inline constexpr TQBNamedText SLessDetails{"SLessDetails", "<< Less"};
inline constexpr TQBNamedText SInvalidRevision{"SInvalidRevision", "'%s' is not a valid revision number."};
// Edit > Undo and Redo with the outline's step, and the names of its steps.
inline constexpr TQBNamedText SUndoStep{"SUndoStep", "&Undo %s"};
inline constexpr TQBNamedText SRedoStep{"SRedoStep", "&Redo %s"};
inline constexpr TQBNamedText SStepAddChild{"SStepAddChild", "Add child of '%s'"};
inline constexpr TQBNamedText SStepAddSibling{"SStepAddSibling", "Add sibling of '%s'"};
inline constexpr TQBNamedText SStepDelete{"SStepDelete", "Delete '%s'"};
inline constexpr TQBNamedText SStepRename{"SStepRename", "Rename '%s'"};
inline constexpr TQBNamedText SStepMarker{"SStepMarker", "Change marker of '%s'"};
inline constexpr TQBNamedText SStepMove{"SStepMove", "Move '%s'"};
inline constexpr TQBNamedText SStepCut{"SStepCut", "Cut '%s'"};
inline constexpr TQBNamedText SStepPaste{"SStepPaste", "Paste '%s'"};
inline constexpr TQBNamedText SStepSplit{"SStepSplit", "Split '%s'"};
inline constexpr TQBNamedText SUndoBodyEdited{
    "SUndoBodyEdited", "The text of '%s' was changed after this step, so the step cannot be undone."};
} // namespace QBStrings

// Every named text, in the order above.
const QList<TQBNamedText> &QBNamedTexts();
// The named text with that name (exact letter case); null when the program has none.
const TQBNamedText *QBFindNamedText(const QString &name);

// The text in the current language: the localizer's translation, or the built-in text when there
// is no localizer, no language file or no translation. Fetch it each time it is shown, so it
// follows language switches.
QString QBLoadStr(const TNVKCustomResourceManager *localizer, const TQBNamedText &text);
// The same, then filled by Format with args.
QString QBFormatStr(const TNVKCustomResourceManager *localizer, const TQBNamedText &text, const QVariantList &args);
