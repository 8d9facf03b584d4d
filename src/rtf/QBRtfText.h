// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include <QByteArray>
#include <QString>

// The text the editor holds after loading rtf as a whole body, character for character: '\n' ends a
// paragraph, U+2028 is a line break, '\t' a tab, U+FFFC a picture or object. A paragraph mark at the
// very end adds no empty paragraph. Data that is not RTF is read as plain text, as the editor does.
// Never fails; builds no document and needs QtCore only.
QString RtfToPlainText(const QByteArray &rtf);
