// Fuzz target for parseMatpowerCase: arbitrary bytes as a MATPOWER case, checked as
// checkNetworkResult says (an accepted case as the network file made of it).
#include "matpowercase.h"
#include "networkfuzz.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString name = QStringLiteral("fuzz.m");
    checkNetworkResult("parseMatpowerCase", input, name, parseMatpowerCase(input, name));
    return 0;
}
