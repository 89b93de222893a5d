#pragma once

#include <QString>
#include <QStringList>

// Where a program finds the Markdown documents it shows (the user guide, the teaching
// notes), offline: the folder the package installs them in, the same folder beside the
// program wherever the install put it (bin/../share/doc/PROGRAM), and the source tree's
// docs/ for a build run from the repository. Empty folders are left out.
QStringList documentFolders(const QString &program, const QString &installedDocs,
                            const QString &programFolder, const QString &sourceDocs);
// The first of `folders` that holds `fileName` as a readable file, as a clean path; empty
// when none does.
QString findDocument(const QString &fileName, const QStringList &folders);
// What the reader is told when none of `folders` holds the document.
QString documentNotFoundText(const QString &fileName, const QStringList &folders);

// The anchor a link "document.md#anchor" names a heading by, as Markdown is written for
// the web: lower case, letters, digits, blanks, hyphens and underscores kept and the
// rest left out, each blank a hyphen ("Scenario files and the seed" is
// "scenario-files-and-the-seed").
QString headingAnchor(const QString &heading);
