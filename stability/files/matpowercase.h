#pragma once

#include "networkfile.h"

#include <QByteArray>
#include <QString>

// MATPOWER case files (version 2: mpc.baseMVA, mpc.bus, mpc.gen, mpc.branch, comments
// with %), read as they are for the load flow. Each generator becomes a classical machine
// with H 5 s and x'd 0.3 on its own base (mBase), converted to the system base, for the
// person importing it to complete; the fault is left at its default.
NetworkFileResult parseMatpowerCase(const QByteArray &bytes, const QString &fileName);
NetworkFileResult readMatpowerCase(const QString &path);

// Whether a path names a MATPOWER case (by its extension, .m).
bool isMatpowerFileName(const QString &path);
