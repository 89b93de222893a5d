#pragma once

#include "uabout.h"
#include "uhelp.h"
#include "userguidewindow.h"

#include <QByteArray>

// Selmex's help text and About picture, for TOKRightDlg::Execute and TAboutBox::Execute.
HelpDescription selmexHelp();
// What Help > User guide shows: the user guide and the teaching notes.
QList<UserGuideWindow::Document> selmexGuides();
// The logo read from the bitmap kept in the program.
AboutDescription selmexAbout();
// The logo as the program keeps it: an uncompressed bitmap with an 8-bit palette,
// 130 x 84.
QByteArray selmexLogoBmp();
