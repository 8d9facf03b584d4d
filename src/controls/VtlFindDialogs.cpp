// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "VtlFindDialogs.h"

#include "EditorTexts.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

TVtlFindDialog::TVtlFindDialog(TVtlRichEdit *editor, bool withReplace) : QDialog(editor), FEditor(editor)
{
    setObjectName(withReplace ? QStringLiteral("ReplaceDialog") : QStringLiteral("FindDialog"));
    setWindowTitle(withReplace ? EditorText("SReplaceTitle", "Replace") : EditorText("SFindTitle", "Find"));
    setModal(false);

    auto *grid = new QGridLayout;
    edtFind = new QLineEdit(this);
    edtFind->setObjectName(QStringLiteral("edtFind"));
    auto *findLabel = new QLabel(EditorText("SFindWhat", "Fi&nd what:"), this);
    findLabel->setBuddy(edtFind);
    grid->addWidget(findLabel, 0, 0);
    grid->addWidget(edtFind, 0, 1);

    cbMatchCase = new QCheckBox(EditorText("SMatchCase", "Match &case"), this);
    cbMatchCase->setObjectName(QStringLiteral("cbMatchCase"));
    cbWholeWord = new QCheckBox(EditorText("SWholeWord", "Match &whole word only"), this);
    cbWholeWord->setObjectName(QStringLiteral("cbWholeWord"));
    auto *direction = new QGroupBox(EditorText("SDirection", "Direction"), this);
    rbUp = new QRadioButton(EditorText("SUp", "&Up"), direction);
    rbUp->setObjectName(QStringLiteral("rbUp"));
    rbDown = new QRadioButton(EditorText("SDown", "&Down"), direction);
    rbDown->setObjectName(QStringLiteral("rbDown"));
    rbDown->setChecked(true);
    auto *directionLayout = new QHBoxLayout(direction);
    directionLayout->addWidget(rbUp);
    directionLayout->addWidget(rbDown);

    auto *options = new QVBoxLayout;
    options->addWidget(cbWholeWord);
    options->addWidget(cbMatchCase);
    auto *optionRow = new QHBoxLayout;
    optionRow->addLayout(options);
    if (!withReplace)
        optionRow->addWidget(direction);
    else
        direction->hide();

    lblStatus = new QLabel(this);
    lblStatus->setObjectName(QStringLiteral("lblStatus"));

    auto *left = new QVBoxLayout;
    left->addLayout(grid);
    left->addLayout(optionRow);
    left->addWidget(lblStatus);
    left->addStretch();

    btnFindNext = new QPushButton(EditorText("SFindNext", "&Find Next"), this);
    btnFindNext->setObjectName(QStringLiteral("btnFindNext"));
    btnFindNext->setDefault(true);
    btnCancel = new QPushButton(EditorText("SCancel", "Cancel"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));
    auto *buttons = new QVBoxLayout;
    buttons->addWidget(btnFindNext);
    buttons->setObjectName(QStringLiteral("buttons"));

    auto *main = new QHBoxLayout(this);
    main->addLayout(left);
    main->addLayout(buttons);
    buttons->addWidget(btnCancel);
    buttons->addStretch();

    connect(btnFindNext, &QPushButton::clicked, this, &TVtlFindDialog::FindNext);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::close);
    connect(edtFind, &QLineEdit::textChanged, this,
            [this](const QString &text) { btnFindNext->setEnabled(!text.isEmpty()); });
    btnFindNext->setEnabled(false);
}

void TVtlFindDialog::SetFindText(const QString &text)
{
    edtFind->setText(text);
    edtFind->selectAll();
}

QString TVtlFindDialog::FindText() const
{
    return edtFind->text();
}

TVtlFindOptions TVtlFindDialog::Options() const
{
    TVtlFindOptions options;
    if (cbMatchCase->isChecked())
        options |= foMatchCase;
    if (cbWholeWord->isChecked())
        options |= foWholeWord;
    if (rbUp->isChecked() && rbUp->parentWidget()->isVisibleTo(this))
        options |= foUp;
    return options;
}

void TVtlFindDialog::SetOptions(TVtlFindOptions options)
{
    cbMatchCase->setChecked(options.testFlag(foMatchCase));
    cbWholeWord->setChecked(options.testFlag(foWholeWord));
    rbUp->setChecked(options.testFlag(foUp));
    rbDown->setChecked(!options.testFlag(foUp));
}

QString TVtlFindDialog::Status() const
{
    return lblStatus->text();
}

void TVtlFindDialog::ShowNotFound()
{
    lblStatus->setText(NVKFormatS(EditorText("STextNotFound", "Cannot find \"%s\"."), {edtFind->text()}));
    QApplication::beep();
}

bool TVtlFindDialog::FindNext()
{
    if (!FEditor || edtFind->text().isEmpty())
        return false;
    if (FEditor->FindText(edtFind->text(), Options()) < 0) {
        ShowNotFound();
        return false;
    }
    lblStatus->clear();
    return true;
}

TVtlReplaceDialog::TVtlReplaceDialog(TVtlRichEdit *editor) : TVtlFindDialog(editor, true)
{
    edtReplace = new QLineEdit(this);
    edtReplace->setObjectName(QStringLiteral("edtReplace"));
    auto *grid = findChild<QGridLayout *>();
    auto *replaceLabel = new QLabel(EditorText("SReplaceWith", "Re&place with:"), this);
    replaceLabel->setBuddy(edtReplace);
    grid->addWidget(replaceLabel, 1, 0);
    grid->addWidget(edtReplace, 1, 1);

    btnReplace = new QPushButton(EditorText("SReplace", "&Replace"), this);
    btnReplace->setObjectName(QStringLiteral("btnReplace"));
    btnReplaceAll = new QPushButton(EditorText("SReplaceAll", "Replace &All"), this);
    btnReplaceAll->setObjectName(QStringLiteral("btnReplaceAll"));
    if (auto *buttons = findChild<QVBoxLayout *>(QStringLiteral("buttons"))) {
        buttons->insertWidget(1, btnReplace);
        buttons->insertWidget(2, btnReplaceAll);
    }
    connect(btnReplace, &QPushButton::clicked, this, &TVtlReplaceDialog::Replace);
    connect(btnReplaceAll, &QPushButton::clicked, this, &TVtlReplaceDialog::ReplaceAll);
    const auto update = [this] {
        const bool any = !edtFind->text().isEmpty();
        btnReplace->setEnabled(any);
        btnReplaceAll->setEnabled(any);
    };
    connect(edtFind, &QLineEdit::textChanged, this, update);
    update();
}

void TVtlReplaceDialog::SetReplaceText(const QString &text)
{
    edtReplace->setText(text);
}

QString TVtlReplaceDialog::ReplaceText() const
{
    return edtReplace->text();
}

bool TVtlReplaceDialog::Replace()
{
    if (!FEditor || edtFind->text().isEmpty())
        return false;
    const Qt::CaseSensitivity cs = Options().testFlag(foMatchCase) ? Qt::CaseSensitive : Qt::CaseInsensitive;
    if (FEditor->SelText().compare(edtFind->text(), cs) == 0)
        FEditor->SetSelText(edtReplace->text());
    return FindNext();
}

int TVtlReplaceDialog::ReplaceAll()
{
    if (!FEditor)
        return 0;
    const int count = FEditor->ReplaceAll(edtFind->text(), edtReplace->text(), Options());
    if (count == 0)
        ShowNotFound();
    else
        lblStatus->setText(
            NVKFormatS(EditorText("SReplacedCount", "%s occurrence(s) replaced."), {QString::number(count)}));
    return count;
}
