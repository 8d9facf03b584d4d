// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "document/QBClipbrd.h"
#include "document/QBDom.h"

#include <cstddef>
#include <cstdint>

// Any clipboard text is pasted whole or refused with the codec's error, the document then as it
// was; what was pasted copies and pastes again to the same text.
extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const IQBDocumentPtr document = NewQBDocument();
    const IQBArticlePtr target = document->AddChild(document->Root());
    IQBArticlePtr pasted;
    try {
        pasted = QBDecodeArticle(bytes, target);
    } catch (const EQBClipboardError &) {
    } catch (const EQBDocumentError &) {
    }
    if (!pasted) {
        if (document->ArticleCount() != 2 || target->Items()->Count() != 0)
            __builtin_trap();
        return 0;
    }
    if (pasted->Parent() != target)
        __builtin_trap();
    QByteArray copied;
    try {
        copied = QBEncodeArticle(pasted);
    } catch (const EQBClipboardError &) {
        // A caption or body the codec cannot carry again is refused on copying, never lost.
        return 0;
    }
    const IQBArticlePtr again = QBDecodeArticle(copied, document->Root());
    if (QBEncodeArticle(again) != copied)
        __builtin_trap();
    return 0;
}
