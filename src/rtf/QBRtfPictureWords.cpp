// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBRtfParserImpl.h"

// Control words that describe a picture or an embedded object.

void TQBRtfParser::TImpl::PictureWord(TWord word, int param)
{
    switch (word) {
    case TWord::PngBlip:
        FPict.Kind = TQBRtfPictureKind::Png;
        break;
    case TWord::JpegBlip:
        FPict.Kind = TQBRtfPictureKind::Jpeg;
        break;
    case TWord::DiBitmap:
        FPict.Kind = TQBRtfPictureKind::Dib;
        break;
    case TWord::WBitmap:
        FPict.Kind = TQBRtfPictureKind::WBitmap;
        break;
    case TWord::WMetafile:
    case TWord::EmfBlip:
        FPict.Kind = TQBRtfPictureKind::Kept;
        FPict.IsMetafile = true;
        break;
    case TWord::OtherPict:
        FPict.Kind = TQBRtfPictureKind::Kept;
        break;
    case TWord::PicW:
        FPict.PicWidth = qBound(0, param, MaxTwips);
        break;
    case TWord::PicH:
        FPict.PicHeight = qBound(0, param, MaxTwips);
        break;
    case TWord::PicWGoal:
        FPictGoalW = qBound(0, param, MaxTwips);
        break;
    case TWord::PicHGoal:
        FPictGoalH = qBound(0, param, MaxTwips);
        break;
    case TWord::PicScaleX:
        FPictScaleX = qBound(1, param, 1000);
        break;
    case TWord::PicScaleY:
        FPictScaleY = qBound(1, param, 1000);
        break;
    case TWord::WbmBitsPixel:
        FPict.BitsPerPixel = param;
        break;
    case TWord::WbmPlanes:
        FPict.Planes = param;
        break;
    case TWord::WbmWidthBytes:
        FPict.WidthBytes = param;
        break;
    default:
        break;
    }
}

void TQBRtfParser::TImpl::ObjectWord(TWord word, int param)
{
    switch (word) {
    case TWord::ObjW:
        FObject.WidthTwips = qBound(0, param, MaxTwips);
        break;
    case TWord::ObjH:
        FObject.HeightTwips = qBound(0, param, MaxTwips);
        break;
    case TWord::ObjScaleX:
        FObjScaleX = qBound(1, param, 1000);
        break;
    case TWord::ObjScaleY:
        FObjScaleY = qBound(1, param, 1000);
        break;
    default:
        break;
    }
}
