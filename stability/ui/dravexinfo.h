#pragma once

#include "uabout.h"
#include "uhelp.h"
#include "userguidewindow.h"

#include <QByteArray>

// Dravex's help text and About picture, for TOKRightDlg::Execute and TAboutBox::Execute.
HelpDescription dravexHelp();
// What Help > User guide shows: the user guide and the teaching notes.
QList<UserGuideWindow::Document> dravexGuides();
// The logo decoded from the JPEG kept in the program; without a readable JPEG the
// dialog shows no picture.
AboutDescription dravexAbout();
// The logo as the program keeps it: a baseline JFIF JPEG, 130 x 84, in colour.
QByteArray dravexLogoJpeg();
