// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBBench.h"
#include "QBBenchDocs.h"
#include "controls/ArticleRichEdit.h"
#include "editor/QBEditorSvc.h"
#include "framework/NVKInit.h"
#include "services/QBDocSvc.h"
#include "services/Registry.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QRandomGenerator>
#include <QTemporaryDir>

namespace {

// A body with the mix a user writes: formatted runs, links, bullets, accented text.
QByteArray MakeBody(QRandomGenerator &random, qsizetype size)
{
    static const char *const words[] = {"note",   "clipping", "article", "quillbox", "outline",  "marker",
                                        "search", "the",      "of",      "and",      "caf\\'e9", "\\u1087?\\u1088?"};
    QByteArray rtf = "{\\rtf1\\ansi\\ansicpg1252\\deff0{\\fonttbl{\\f0\\fswiss\\fcharset0 Arial;}"
                     "{\\f1\\froman\\fcharset0 Times New Roman;}}{\\colortbl ;\\red0\\green0\\blue255;}"
                     "\\viewkind4\\uc1\\pard\\f0\\fs20 ";
    int paragraph = 0;
    while (rtf.size() < size) {
        ++paragraph;
        rtf += paragraph % 9 == 0 ? "\\pard{\\pntext\\'b7\\tab}{\\*\\pn\\pnlvlblt\\pnindent0{\\pntxtb\\'b7}}"
                                    "\\fi-360\\li360 "
                                  : "\\pard ";
        const int length = 20 + int(random.bounded(60));
        for (int w = 0; w < length; ++w) {
            const char *word = words[random.bounded(int(std::size(words)))];
            switch (random.bounded(20)) {
            case 0:
                rtf += QByteArray("\\b ") + word + "\\b0";
                break;
            case 1:
                rtf += QByteArray("{\\i ") + word + "}";
                break;
            case 2:
                rtf += QByteArray("{\\field{\\*\\fldinst { HYPERLINK \"@_7\" }}{\\fldrslt{\\cf1\\ul ") + word +
                       "}}}\\cf0\\ulnone";
                break;
            default:
                rtf += word;
                break;
            }
            rtf += ' ';
        }
        rtf += "\\par\r\n";
    }
    return rtf + "}";
}

void editorBench(QTextStream &out)
{
    if (!qobject_cast<QApplication *>(QCoreApplication::instance())) {
        out << "   needs the widget application\n";
        return;
    }
    {
        const TQBBenchServices services;

        const TQBBenchEditorArea area;
        TArticleRichEdit *editor = area.Editor();
        const IQBEditorServicePtr svc = EditorService();
        const IQBDocumentPtr doc = DataService()->GetDocument();

        QRandomGenerator random(20260);
        const IQBArticlePtr big = doc->AddChild(doc->Root());
        const QByteArray bigBody = MakeBody(random, 1 << 20);
        big->SetContent(QString::fromLatin1(bigBody));
        QElapsedTimer timer;
        timer.start();
        svc->NavigateTo(big);
        const qint64 load = timer.nsecsElapsed();
        editor->SetSelStart(editor->TextLength() / 2);
        editor->SetSelText(QStringLiteral("x"));
        timer.restart();
        svc->StoreChanges();
        const qint64 store = timer.nsecsElapsed();
        out << "   load a " << bigBody.size() / 1024 << " KB body into the editor: " << QBBenchMs(load)
            << " (target 200 ms)\n";
        out << "   store it back into the article: " << QBBenchMs(store) << " (target 200 ms)\n";

        const IQBArticlePtr first = doc->AddChild(doc->Root());
        const IQBArticlePtr second = doc->AddChild(doc->Root());
        first->SetContent(QString::fromLatin1(MakeBody(random, 200 * 1024)));
        second->SetContent(QString::fromLatin1(MakeBody(random, 200 * 1024)));
        svc->NavigateTo(first);
        const int other = svc->OpenWindow(second);
        const int switches = 20;
        timer.restart();
        for (int i = 0; i < switches; ++i)
            svc->ActivateWindow(i % 2 == 0 ? other : 0);
        out << "   switch between two open 200 KB articles: " << QBBenchMs(timer.nsecsElapsed() / switches)
            << " per switch (target 50 ms)\n";

        editor->SetSelStart(editor->TextLength() / 2);
        editor->setFocus();
        const int keys = 1000;
        timer.restart();
        for (int i = 0; i < keys; ++i) {
            const QChar ch = i % 12 == 11 ? QLatin1Char(' ') : QChar(u'a' + i % 26);
            QKeyEvent press(QEvent::KeyPress, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(editor, &press);
            QKeyEvent release(QEvent::KeyRelease, 0, Qt::NoModifier, QString(ch));
            QApplication::sendEvent(editor, &release);
            QCoreApplication::processEvents();
        }
        const qint64 typing = timer.nsecsElapsed();
        out << "   type " << keys
            << " characters into a 200 KB body: " << QString::number(double(typing) / keys / 1000.0, 'f', 1)
            << " us per keystroke\n";
    }
}

const bool registered = QBRegisterBenchmark(
    QStringLiteral("editor"),
    QStringLiteral("editor service: loading and storing a 1 MB body, switching windows, typing"), editorBench);

} // namespace
