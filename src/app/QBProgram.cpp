// Copyright (c) 2026 Brindlewood
// SPDX-License-Identifier: MIT
#include "QBProgram.h"

#include "app/AppData.h"
#include "app/AppFrame.h"
#include "framework/NVKInit.h"

TQBProgram::TQBProgram(const QStringList &arguments)
{
    // Creating the data module starts the services and runs the start-up action.
    FAppData = std::make_unique<TDMAppData>(arguments);
    FFrame = std::make_unique<TFAppFrame>();
    FAppData->SetMainWindow(FFrame.get());
    FFrame->show();
    FAppData->WatchTerminationSignals();
    FAppData->OfferRecoveryCopies();
}

TQBProgram::~TQBProgram()
{
    if (FAppData)
        FAppData->SetMainWindow(nullptr);
    FFrame.reset();
    FAppData.reset();
}

bool TQBProgram::CanRun() const
{
    return !Core() || !Core()->GetTerminated();
}
