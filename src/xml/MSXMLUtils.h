// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#pragma once

#include "base/NVKDateTime.h"
#include "xml/MSXMLDoc.h"

// Node routines. All accept a none node and then do nothing or answer none or the default.
// Name and Attribute are XPath name tests chosen by the program; Value may be any text: it is
// quoted, so quotes in it can neither break nor change the query.

// The first element of Node's whole document named Name ("//Name").
TMSXMLNode SelectNode(const TMSXMLNode &node, const QString &name);
// The first child element of Node named Name; with create, a missing one is appended.
TMSXMLNode FindChild(const TMSXMLNode &node, const QString &name, bool create = false);
// The first element of the whole document named Name whose Attribute equals Value.
TMSXMLNode SelectNodeByAttr(const TMSXMLNode &node, const QString &name, const QString &attribute,
                            const QString &value);
// The first child element of Node named Name whose Attribute equals Value.
TMSXMLNode FindChildByAttr(const TMSXMLNode &node, const QString &name, const QString &attribute, const QString &value);

// The attribute's text; Default when it is missing or empty.
QString GetAttr(const TMSXMLNode &element, const QString &name, const QString &defaultValue = QString());
// Remove true removes the attribute, otherwise sets it.
void SetAttr(const TMSXMLNode &element, const QString &name, const QString &value, bool remove = false);
// A decimal signed 32-bit number (blanks around it allowed); Default when missing or not one.
int GetIntAttr(const TMSXMLNode &element, const QString &name, int defaultValue = 0);
void SetIntAttr(const TMSXMLNode &element, const QString &name, int value, bool remove = false);
// Local date-time written as "yyyy-mm-dd hh:nn:ss" (exactly 19 characters); Default for any
// other text and for a date or time that does not exist.
TDateTime GetDateAttr(const TMSXMLNode &element, const QString &name, TDateTime defaultValue);
// Whole seconds are written; EMSXMLError for a value outside the years 1 to 9999.
void SetDateAttr(const TMSXMLNode &element, const QString &name, TDateTime value, bool remove = false);
// The text SetDateAttr writes; raises EMSXMLError for a value that is no date.
QString MSXMLFormatDate(TDateTime value);

// Body text in CDATA: Set appends to Element as many consecutive CDATA sections as the text needs
// (split inside every "]]>" and into pieces the parser's size limit accepts; nothing for an
// empty text). Get joins the CDATA section that is Element's first child node with the CDATA
// sections directly after it; empty when the first child node is not CDATA.
void AppendCDATAText(const TMSXMLNode &element, const QString &text);
QString GetCDATAText(const TMSXMLNode &element);

// Value as an XPath string literal: "..." or '...', or a concat() when it holds both quotes.
QString MSXMLQuoteXPath(const QString &value);
