// Differential fuzz target for textToFloat. The input's first byte picks the decimal
// separator (bit 1 set: '.', clear: ','; so a seed file may start with the separator
// itself), the rest is read as UTF-8. Each text is judged a second time, without any
// of textconvert.cpp's code: a table-driven recogniser of the number grammar, and
// glibc's strtod in the "C" locale for the value and for overflow. Then:
// - every accepted text matches the grammar, and its value is the double strtod gives;
// - every refused text either does not match or overflows a double;
// - an accepted value, shown in the general format and read back, is a fixed point:
//   formatGeneral(textToFloat(formatGeneral(v))) == formatGeneral(v).
// Any disagreement prints the text and aborts, which libFuzzer reports as a crash.
#include "numberformat.h"
#include "textconvert.h"

#include <cerrno>
#include <cmath>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <locale.h>
#include <QByteArray>
#include <QString>
#include <stdlib.h>
#include <string>

namespace {

locale_t cLocale = nullptr;

// Character classes of the recogniser.
enum Class { Space, Sign, Digit, Separator, Exponent, Other, ClassCount };

// States: 0 leading blanks, 1 after the sign, 2 integer digits, 3 separator without a
// digit yet, 4 digits with the separator seen, 5 after E, 6 after the exponent's sign,
// 7 exponent digits, 8 trailing blanks. -1 refuses.
constexpr int Transitions[9][ClassCount] = {
    //  Space Sign Digit Sep  Exp  Other
    {0, 1, 2, 3, -1, -1},    // 0
    {-1, -1, 2, 3, -1, -1},  // 1
    {8, -1, 2, 4, 5, -1},    // 2
    {-1, -1, 4, -1, -1, -1}, // 3
    {8, -1, 4, -1, 5, -1},   // 4
    {-1, 6, 7, -1, -1, -1},  // 5
    {-1, -1, 7, -1, -1, -1}, // 6
    {8, -1, 7, -1, -1, -1},  // 7
    {8, -1, -1, -1, -1, -1}, // 8
};
constexpr bool Accepting[9] = {false, false, true, false, true, false, false, true, true};

Class classify(char16_t c, char16_t separator) {
    if (c == u' ') return Space;
    if (c == u'+' || c == u'-') return Sign;
    if (c >= u'0' && c <= u'9') return Digit;
    if (c == separator) return Separator;
    if (c == u'e' || c == u'E') return Exponent;
    return Other;
}

// Whether the text is a number in the grammar; if so, `ascii` receives it with the
// separator as '.', ready for strtod.
bool matchesGrammar(const QString &text, char16_t separator, std::string *ascii) {
    int state = 0;
    ascii->clear();
    for (QChar qc : text) {
        const char16_t c = qc.unicode();
        state = Transitions[state][classify(c, separator)];
        if (state < 0) return false;
        if (c != u' ') ascii->push_back(c == separator ? '.' : static_cast<char>(c));
    }
    return Accepting[state];
}

struct Reference {
    bool overflows = false;
    double value = 0;
};

Reference referenceValue(const std::string &ascii) {
    errno = 0;
    char *end = nullptr;
    const double value = strtod_l(ascii.c_str(), &end, cLocale);
    if (end != ascii.c_str() + ascii.size()) {
        std::fprintf(stderr, "strtod stopped early on \"%s\"\n", ascii.c_str());
        std::abort();
    }
    // ERANGE also comes with underflow; only an infinite result is an overflow.
    return {errno == ERANGE && std::isinf(value), value};
}

[[noreturn]] void fail(const char *what, const QString &text, QChar separator) {
    std::fprintf(stderr,
                 "textToFloat: %s\n  text: \"%s\" (UTF-16 units: %lld)\n  separator: '%c'\n", what,
                 text.toUtf8().constData(), static_cast<long long>(text.size()),
                 static_cast<char>(separator.unicode()));
    std::abort();
}

bool sameDouble(double a, double b) {
    return a == b && std::signbit(a) == std::signbit(b);
}

enum class Outcome { OutsideGrammar, Overflows, Accepted };

// Checks one text against the reference and gives what it is; when Accepted, `value`
// holds what textToFloat made of it.
Outcome check(const QString &text, QChar separator, double *value) {
    std::string ascii;
    const bool matches = matchesGrammar(text, separator.unicode(), &ascii);
    bool accepted = true;
    try {
        *value = textToFloat(text, separator);
    } catch (const ConversionError &) {
        accepted = false;
    }
    if (!matches) {
        if (accepted) fail("accepted a text outside the grammar", text, separator);
        return Outcome::OutsideGrammar;
    }
    const Reference reference = referenceValue(ascii);
    if (reference.overflows) {
        if (accepted) fail("accepted a value that overflows a double", text, separator);
        return Outcome::Overflows;
    }
    if (!accepted) fail("refused a number in the grammar that fits a double", text, separator);
    if (!sameDouble(*value, reference.value)) {
        std::fprintf(stderr, "  textToFloat gives %.17g, strtod gives %.17g\n", *value,
                     reference.value);
        fail("value differs from the correctly rounded double", text, separator);
    }
    return Outcome::Accepted;
}

} // namespace

extern "C" int LLVMFuzzerInitialize(int *, char ***) {
    cLocale = newlocale(LC_ALL_MASK, "C", nullptr);
    if (!cLocale) std::abort();
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size) {
    if (size == 0) return 0;
    const QChar separator = (data[0] & 2) ? QChar('.') : QChar(',');
    const QString text = QString::fromUtf8(reinterpret_cast<const char *>(data + 1),
                                           static_cast<qsizetype>(size - 1));

    double value = 0;
    if (check(text, separator, &value) != Outcome::Accepted) return 0;

    // The general format rounds to 15 digits, so the text it gives need not read back
    // as `value`; it must read back as the double nearest to that text (check() holds
    // it to strtod), and showing that double again must give the same text. Near the
    // largest double the 15-digit text itself overflows, and must then be refused.
    const QString shown = formatGeneral(value, separator);
    double again = 0;
    const Outcome shownOutcome = check(shown, separator, &again);
    if (shownOutcome == Outcome::OutsideGrammar)
        fail("the general format gives a text outside the grammar", shown, separator);
    if (shownOutcome == Outcome::Overflows) return 0;
    if (formatGeneral(again, separator) != shown)
        fail("general format does not read back to the same text", shown, separator);
    return 0;
}
