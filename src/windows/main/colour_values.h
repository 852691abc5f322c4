#pragma once
// The colours of the main window and its panes as the settings file keeps them.
#include "settings/values.h"

// Colours as the settings file keeps them: Windows colour values, negative for system colours.
struct ColourValues {
    qint32 displayInk = Settings::Colour::kWindowText;
    qint32 displayPaper = Settings::Colour::kWhite;
    qint32 inputInk = Settings::Colour::kWindowText;
    qint32 inputPaper = Settings::Colour::kWindow;
    qint32 monitorInk = Settings::Colour::kWindowText;
    qint32 monitorPaper = Settings::Colour::kWindow;
    qint32 compositionInk = Settings::Colour::kBlue;
    qint32 compositionPaper = Settings::Colour::kWhite;
    qint32 page = Settings::Colour::kButtonFace;
    qint32 items = Settings::Colour::kWindowText;
    qint32 explanation = Settings::Colour::kGreen;
    qint32 cover = Settings::Colour::kBlack;
    qint32 splitter1 = Settings::Colour::kGreen;
    qint32 splitter2 = Settings::Colour::kOlive;
};
