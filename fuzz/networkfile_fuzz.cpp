// Fuzz target for parseNetwork: arbitrary bytes as a network file, checked as
// checkNetworkResult says.
#include "networkfuzz.h"

#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    const QByteArray input(reinterpret_cast<const char *>(data), static_cast<qsizetype>(size));
    const QString name = QStringLiteral("fuzz.dravex-network");
    checkNetworkResult("parseNetwork", input, name, parseNetwork(input, name));
    return 0;
}
