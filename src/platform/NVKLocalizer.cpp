// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "NVKLocalizer.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QGroupBox>
#include <QHeaderView>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QPlainTextEdit>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTabBar>
#include <QTabWidget>
#include <QTableView>
#include <QTextEdit>
#include <QToolBox>
#include <QTreeView>

namespace {

constexpr int clNone = 0x1FFFFFFF;
constexpr int clDefault = 0x20000000;

QString shortHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.left(bar);
}

QString longHint(const QString &hint)
{
    const qsizetype bar = hint.indexOf(QLatin1Char('|'));
    return bar < 0 ? hint : hint.mid(bar + 1);
}

// A page of a tab widget or tool box shows its caption on its tab; any other widget in its title.
void setWidgetCaption(QWidget *widget, const QString &text)
{
    if (!widget->isWindow()) {
        QWidget *parent = widget->parentWidget();
        if (qobject_cast<QStackedWidget *>(parent)) {
            if (auto *tabs = qobject_cast<QTabWidget *>(parent->parentWidget())) {
                const int index = tabs->indexOf(widget);
                if (index >= 0) {
                    tabs->setTabText(index, text);
                    return;
                }
            }
        }
        // A tool box keeps its pages inside a scroll area of its own.
        for (QWidget *ancestor = parent; ancestor; ancestor = ancestor->parentWidget()) {
            if (auto *box = qobject_cast<QToolBox *>(ancestor)) {
                const int index = box->indexOf(widget);
                if (index >= 0) {
                    box->setItemText(index, text);
                    return;
                }
                break;
            }
        }
    }
    widget->setWindowTitle(text);
}

void setWidgetColor(QWidget *widget, int value)
{
    const QColor color = NVKColorToQColor(value, widget->palette());
    if (!color.isValid())
        return;
    QPalette palette = widget->palette();
    palette.setColor(QPalette::Window, color);
    palette.setColor(QPalette::Base, color);
    widget->setPalette(palette);
    if (!widget->isWindow())
        widget->setAutoFillBackground(true);
}

// The key of the old platform's shortcut code (virtual key in the low byte); 0 when it has none here.
int qtKeyOfVirtualKey(int vk)
{
    if ((vk >= 0x30 && vk <= 0x39) || (vk >= 0x41 && vk <= 0x5A))
        return vk;
    if (vk >= 0x70 && vk <= 0x87)
        return Qt::Key_F1 + (vk - 0x70);
    if (vk >= 0x60 && vk <= 0x69)
        return Qt::Key_0 + (vk - 0x60);
    switch (vk) {
    case 0x08:
        return Qt::Key_Backspace;
    case 0x09:
        return Qt::Key_Tab;
    case 0x0D:
        return Qt::Key_Return;
    case 0x1B:
        return Qt::Key_Escape;
    case 0x20:
        return Qt::Key_Space;
    case 0x21:
        return Qt::Key_PageUp;
    case 0x22:
        return Qt::Key_PageDown;
    case 0x23:
        return Qt::Key_End;
    case 0x24:
        return Qt::Key_Home;
    case 0x25:
        return Qt::Key_Left;
    case 0x26:
        return Qt::Key_Up;
    case 0x27:
        return Qt::Key_Right;
    case 0x28:
        return Qt::Key_Down;
    case 0x2D:
        return Qt::Key_Insert;
    case 0x2E:
        return Qt::Key_Delete;
    case 0x6A:
        return Qt::Key_Asterisk;
    case 0x6B:
        return Qt::Key_Plus;
    case 0x6D:
        return Qt::Key_Minus;
    case 0x6E:
        return Qt::Key_Period;
    case 0x6F:
        return Qt::Key_Slash;
    case 0xBA:
        return Qt::Key_Semicolon;
    case 0xBB:
        return Qt::Key_Equal;
    case 0xBC:
        return Qt::Key_Comma;
    case 0xBD:
        return Qt::Key_Minus;
    case 0xBE:
        return Qt::Key_Period;
    case 0xBF:
        return Qt::Key_Slash;
    case 0xC0:
        return Qt::Key_QuoteLeft;
    case 0xDB:
        return Qt::Key_BracketLeft;
    case 0xDC:
        return Qt::Key_Backslash;
    case 0xDD:
        return Qt::Key_BracketRight;
    case 0xDE:
        return Qt::Key_Apostrophe;
    default:
        return 0;
    }
}

// Old files store shortcuts as numbers (virtual key + 0x2000 Shift, 0x4000 Ctrl, 0x8000 Alt);
// newer ones may write the key text ("Ctrl+S"). Empty or 0 removes the shortcut; anything
// else that is not a key is skipped.
void setActionShortcut(QAction *action, const QString &text)
{
    const QString trimmed = text.trimmed();
    bool isNumber = false;
    const uint code = trimmed.toUInt(&isNumber);
    if (trimmed.isEmpty() || (isNumber && code == 0)) {
        action->setShortcut(QKeySequence());
        return;
    }
    if (isNumber) {
        if (code > 0xFFFF)
            return;
        const int key = qtKeyOfVirtualKey(int(code & 0xFF));
        if (!key)
            return;
        int modifiers = 0;
        if (code & 0x2000)
            modifiers |= Qt::SHIFT;
        if (code & 0x4000)
            modifiers |= Qt::CTRL;
        if (code & 0x8000)
            modifiers |= Qt::ALT;
        if ((code & 0xFF) >= 0x60 && (code & 0xFF) <= 0x6F)
            modifiers |= Qt::KeypadModifier;
        action->setShortcut(QKeySequence(key | modifiers));
        return;
    }
    const QKeySequence sequence = QKeySequence::fromString(trimmed, QKeySequence::PortableText);
    if (sequence.isEmpty() || sequence[0].key() == Qt::Key_unknown)
        return;
    action->setShortcut(sequence);
}

// Items keep their icons and data where a text replaces a text; extra lines add items, missing
// lines remove them.
void setComboItems(QComboBox *combo, const QStringList &items)
{
    const int common = std::min(combo->count(), int(items.size()));
    for (int i = 0; i < common; ++i)
        combo->setItemText(i, items.at(i));
    while (combo->count() > items.size())
        combo->removeItem(combo->count() - 1);
    for (qsizetype i = combo->count(); i < items.size(); ++i)
        combo->addItem(items.at(i));
}

void setListItems(QListWidget *list, const QStringList &items)
{
    const int common = std::min(list->count(), int(items.size()));
    for (int i = 0; i < common; ++i)
        list->item(i)->setText(items.at(i));
    while (list->count() > items.size())
        delete list->takeItem(list->count() - 1);
    for (qsizetype i = list->count(); i < items.size(); ++i)
        list->addItem(items.at(i));
}

// Tabs stand for pages or documents the form made; a language file renames them, never adds any.
void setTabTexts(QTabBar *bar, const QStringList &texts)
{
    const int common = std::min(bar->count(), int(texts.size()));
    for (int i = 0; i < common; ++i)
        bar->setTabText(i, texts.at(i));
}

QList<QLabel *> statusPanels(QStatusBar *bar)
{
    return bar->findChildren<QLabel *>(Qt::FindDirectChildrenOnly);
}

void registerAll()
{
    // Widgets in general.
    NVKRegisterText<QWidget>(QStringLiteral("Caption"), setWidgetCaption);
    NVKRegisterText<QWidget>(QStringLiteral("Hint"), [](QWidget *w, const QString &hint) {
        w->setToolTip(shortHint(hint));
        w->setStatusTip(longHint(hint));
    });
    NVKRegisterBoolean<QWidget>(QStringLiteral("Visible"), &QWidget::setVisible);
    NVKRegisterBoolean<QWidget>(QStringLiteral("Enabled"), &QWidget::setEnabled);
    NVKRegisterInteger<QWidget>(QStringLiteral("Width"), [](QWidget *w, int v) {
        if (v >= 0)
            w->resize(v, w->height());
    });
    NVKRegisterInteger<QWidget>(QStringLiteral("Height"), [](QWidget *w, int v) {
        if (v >= 0)
            w->resize(w->width(), v);
    });
    NVKRegisterInteger<QWidget>(QStringLiteral("Color"), setWidgetColor, QStringLiteral("TColor"));
    NVKRegisterObject<QWidget>(QStringLiteral("Font"), [](QWidget *w) { return std::make_shared<TNVKFontHolder>(w); });

    // Captions of the widgets that show one.
    NVKRegisterText<QLabel>(QStringLiteral("Caption"), &QLabel::setText);
    NVKRegisterText<QAbstractButton>(QStringLiteral("Caption"), &QAbstractButton::setText);
    NVKRegisterText<QGroupBox>(QStringLiteral("Caption"), &QGroupBox::setTitle);
    NVKRegisterText<QMenu>(QStringLiteral("Caption"), &QMenu::setTitle);

    // Actions: menu entries and tool buttons.
    NVKRegisterText<QAction>(QStringLiteral("Caption"), &QAction::setText);
    NVKRegisterText<QAction>(QStringLiteral("Hint"), [](QAction *a, const QString &hint) {
        a->setToolTip(shortHint(hint));
        a->setStatusTip(longHint(hint));
    });
    NVKRegisterText<QAction>(QStringLiteral("ShortCut"), setActionShortcut);
    NVKRegisterBoolean<QAction>(QStringLiteral("Visible"), &QAction::setVisible);
    NVKRegisterBoolean<QAction>(QStringLiteral("Enabled"), &QAction::setEnabled);

    // Texts and lists.
    NVKRegisterText<QLineEdit>(QStringLiteral("Text"), &QLineEdit::setText);
    NVKRegisterText<QComboBox>(QStringLiteral("Text"), [](QComboBox *c, const QString &text) {
        if (c->isEditable())
            c->setEditText(text);
        else
            c->setCurrentText(text);
    });
    NVKRegisterStrings<QComboBox>(QStringLiteral("Items"), setComboItems);
    NVKRegisterCollection<QComboBox>(
        QStringLiteral("ItemsEx"), [](QComboBox *c) { return c->count(); },
        [](QComboBox *c, int i) { return std::make_shared<TNVKComboItem>(c, i); });
    NVKRegisterText<TNVKComboItem>(QStringLiteral("Caption"), &TNVKComboItem::SetCaption);
    NVKRegisterStrings<QListWidget>(QStringLiteral("Items"), setListItems);
    NVKRegisterStrings<QTabBar>(QStringLiteral("Tabs"), setTabTexts);
    NVKRegisterText<QPlainTextEdit>(QStringLiteral("Text"), &QPlainTextEdit::setPlainText);
    NVKRegisterStrings<QPlainTextEdit>(QStringLiteral("Lines"), [](QPlainTextEdit *e, const QStringList &lines) {
        e->setPlainText(lines.join(QLatin1Char('\n')));
    });
    NVKRegisterText<QTextEdit>(QStringLiteral("Text"), &QTextEdit::setPlainText);
    NVKRegisterStrings<QTextEdit>(QStringLiteral("Lines"), [](QTextEdit *e, const QStringList &lines) {
        e->setPlainText(lines.join(QLatin1Char('\n')));
    });

    // Collections.
    NVKRegisterCollection<QTreeView>(
        QStringLiteral("Columns"), [](QTreeView *v) { return v->header()->count(); },
        [](QTreeView *v, int i) { return std::make_shared<TNVKListColumn>(v, v->header(), i); });
    NVKRegisterCollection<QTableView>(
        QStringLiteral("Columns"), [](QTableView *v) { return v->horizontalHeader()->count(); },
        [](QTableView *v, int i) { return std::make_shared<TNVKListColumn>(v, v->horizontalHeader(), i); });
    NVKRegisterText<TNVKListColumn>(QStringLiteral("Caption"), &TNVKListColumn::SetCaption);
    NVKRegisterInteger<TNVKListColumn>(QStringLiteral("Width"), &TNVKListColumn::SetWidth);
    NVKRegisterCollection<QStatusBar>(
        QStringLiteral("Panels"), [](QStatusBar *b) { return int(statusPanels(b).size()); },
        [](QStatusBar *b, int i) { return std::make_shared<TNVKStatusPanel>(statusPanels(b).at(i)); });
    NVKRegisterText<TNVKStatusPanel>(QStringLiteral("Text"), &TNVKStatusPanel::SetText);
    NVKRegisterInteger<TNVKStatusPanel>(QStringLiteral("Width"), &TNVKStatusPanel::SetWidth);

    // Fonts.
    NVKRegisterText<TNVKFontHolder>(QStringLiteral("Name"), [](TNVKFontHolder *f, const QString &name) {
        if (!name.trimmed().isEmpty())
            f->Font.setFamily(name.trimmed());
    });
    // A negative size or height counts pixels, a positive size points.
    NVKRegisterInteger<TNVKFontHolder>(QStringLiteral("Size"), [](TNVKFontHolder *f, int size) {
        if (size > 0)
            f->Font.setPointSize(size);
        else if (size < 0)
            f->Font.setPixelSize(-size);
    });
    NVKRegisterInteger<TNVKFontHolder>(QStringLiteral("Height"), [](TNVKFontHolder *f, int height) {
        if (height != 0)
            f->Font.setPixelSize(std::abs(height));
    });
    NVKRegisterInteger<TNVKFontHolder>(
        QStringLiteral("Color"),
        [](TNVKFontHolder *f, int value) {
            const QColor color = NVKColorToQColor(value, f->Palette());
            if (color.isValid())
                f->Color = color;
        },
        QStringLiteral("TColor"));
    NVKRegisterSet<TNVKFontHolder>(QStringLiteral("Style"),
                                   {QStringLiteral("fsBold"), QStringLiteral("fsItalic"), QStringLiteral("fsUnderline"),
                                    QStringLiteral("fsStrikeOut")},
                                   [](TNVKFontHolder *f, quint32 style) {
                                       f->Font.setBold(style & 1);
                                       f->Font.setItalic(style & 2);
                                       f->Font.setUnderline(style & 4);
                                       f->Font.setStrikeOut(style & 8);
                                   });
    // Qt's fonts cover all scripts, so the old character set has nothing left to select; the
    // property is known so files that carry it read without surprises.
    NVKRegisterInteger<TNVKFontHolder>(QStringLiteral("Charset"), [](TNVKFontHolder *, int) {});
}

} // namespace

void NVKRegisterWidgetProperties()
{
    static const bool registered = [] {
        registerAll();
        return true;
    }();
    Q_UNUSED(registered);
}

QColor NVKColorToQColor(int color, const QPalette &palette)
{
    if (color == clNone || color == clDefault)
        return QColor();
    if (color < 0) {
        // System colours name the roles they played on the old platform.
        struct Role
        {
            QPalette::ColorGroup Group;
            QPalette::ColorRole Role;
        };
        static const Role roles[] = {
            {QPalette::Active, QPalette::Button},          // 0 scroll bar
            {QPalette::Active, QPalette::Window},          // 1 desktop
            {QPalette::Active, QPalette::Highlight},       // 2 active caption
            {QPalette::Inactive, QPalette::Highlight},     // 3 inactive caption
            {QPalette::Active, QPalette::Window},          // 4 menu
            {QPalette::Active, QPalette::Base},            // 5 window
            {QPalette::Active, QPalette::Shadow},          // 6 window frame
            {QPalette::Active, QPalette::WindowText},      // 7 menu text
            {QPalette::Active, QPalette::Text},            // 8 window text
            {QPalette::Active, QPalette::HighlightedText}, // 9 caption text
            {QPalette::Active, QPalette::Button},          // 10 active border
            {QPalette::Inactive, QPalette::Button},        // 11 inactive border
            {QPalette::Active, QPalette::Dark},            // 12 application workspace
            {QPalette::Active, QPalette::Highlight},       // 13 highlight
            {QPalette::Active, QPalette::HighlightedText}, // 14 highlight text
            {QPalette::Active, QPalette::Button},          // 15 button face
            {QPalette::Active, QPalette::Dark},            // 16 button shadow
            {QPalette::Disabled, QPalette::Text},          // 17 grey text
            {QPalette::Active, QPalette::ButtonText},      // 18 button text
            {QPalette::Inactive, QPalette::WindowText},    // 19 inactive caption text
            {QPalette::Active, QPalette::Light},           // 20 button highlight
            {QPalette::Active, QPalette::Shadow},          // 21 3D dark shadow
            {QPalette::Active, QPalette::Midlight},        // 22 3D light
            {QPalette::Active, QPalette::ToolTipText},     // 23 info text
            {QPalette::Active, QPalette::ToolTipBase},     // 24 info background
            {QPalette::Active, QPalette::Button},          // 25 (unused)
            {QPalette::Active, QPalette::Link},            // 26 hot light
            {QPalette::Active, QPalette::Highlight},       // 27 gradient active caption
            {QPalette::Inactive, QPalette::Highlight},     // 28 gradient inactive caption
            {QPalette::Active, QPalette::Highlight},       // 29 menu highlight
            {QPalette::Active, QPalette::Window},          // 30 menu bar
        };
        const quint32 index = quint32(color) & 0x00FFFFFFu;
        if ((quint32(color) & 0xFF000000u) != 0x80000000u || index >= std::size(roles))
            return QColor();
        return palette.color(roles[index].Group, roles[index].Role);
    }
    // The high byte selected palette entries on the old platform; the colour itself is in the low three.
    return QColor(color & 0xFF, (color >> 8) & 0xFF, (color >> 16) & 0xFF);
}

// ---- TNVKLocalizer ----

TNVKLocalizer::TNVKLocalizer(QObject *owner) : TNVKCustomResourceManager(owner)
{
    NVKRegisterWidgetProperties();
}

// ---- TNVKFontHolder ----

TNVKFontHolder::TNVKFontHolder(QWidget *widget)
    : Font(widget->font()), Color(widget->palette().color(QPalette::WindowText)), FWidget(widget), FOriginalColor(Color)
{
}

QPalette TNVKFontHolder::Palette() const
{
    return FWidget ? FWidget->palette() : QPalette();
}

void TNVKFontHolder::Commit()
{
    if (!FWidget)
        return;
    FWidget->setFont(Font);
    if (Color.isValid() && Color != FOriginalColor) {
        QPalette palette = FWidget->palette();
        palette.setColor(QPalette::WindowText, Color);
        palette.setColor(QPalette::Text, Color);
        palette.setColor(QPalette::ButtonText, Color);
        FWidget->setPalette(palette);
    }
}

// ---- TNVKListColumn ----

TNVKListColumn::TNVKListColumn(QAbstractItemView *view, QHeaderView *header, int index)
    : FView(view), FHeader(header), FIndex(index)
{
}

void TNVKListColumn::SetCaption(const QString &text)
{
    if (FView && FView->model())
        FView->model()->setHeaderData(FIndex, Qt::Horizontal, text);
}

void TNVKListColumn::SetWidth(int width)
{
    if (FHeader && width >= 0)
        FHeader->resizeSection(FIndex, width);
}

// ---- TNVKStatusPanel ----

TNVKStatusPanel::TNVKStatusPanel(QLabel *label) : FLabel(label) {}

void TNVKStatusPanel::SetText(const QString &text)
{
    if (FLabel)
        FLabel->setText(text);
}

void TNVKStatusPanel::SetWidth(int width)
{
    if (FLabel && width >= 0)
        FLabel->setMinimumWidth(width);
}

// ---- TNVKComboItem ----

TNVKComboItem::TNVKComboItem(QComboBox *combo, int index) : FCombo(combo), FIndex(index) {}

void TNVKComboItem::SetCaption(const QString &text)
{
    if (FCombo && FIndex < FCombo->count())
        FCombo->setItemText(FIndex, text);
}
