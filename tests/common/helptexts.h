#pragma once

// The help texts of both programs, line by line as the help dialog shows them, trailing
// blanks and double blanks included.
#include <QStringList>

// Lines 4 and 5 of Dravex's text name the textbook the program follows.
inline const char *const DravexHelpText[] = {
    "This program shows the equal area criterion for ",
    "determening the critical clearing time.",
    "",
    "It is based on the book \"Power System Analysis\" ",
    "by John J. Grainger and William D. Stevenson.",
    "",
    "The program starts computing when one click on ",
    "the short circuit-button.",
    "It wil calculate the area's A1 and A2, show a polar ",
    "diagram  and as a extra it wil show the rotor-angle.",
    "",
    "One can change the values of the generator by ",
    "right-click on the generarot.",
    "",
    "One can change the cleairng time by right-click ",
    "on the bar.",
};

inline const char *const SelmexHelpText[] = {
    "How to use the program",
    "",
    "The main purpose of the program is to learn the 5 ",
    "conditions for connecting a generator to the network.",
    "1  equal voltage for each phase",
    "2  equal rotation direction",
    "3  equal phase order",
    "4  no angle between phases of network and generator",
    "5  same frequentie",
    "",
    "The program wil generate a begin situation at random ",
    "for ",
    "the generator.",
    "The network is 380/220 Volt, 50 Hz.",
    "",
    "One should try to comply to the 5 conditions mentioned ",
    "above. This can be done",
    "by the sliders at the bottom-right.",
    "At the bottom-left one can read some quantity of the ",
    "generator.",
    "",
    "If the switching is not correct the program wil let you ",
    "know ",
    "what condition is not forfiled",
    "",
    "There is a synchronisation aid available. Tools | Synch ",
    "aid.",
    "This is a circkel above the switch-button, which will be ",
    "green when one can savely connect to the network.",
    "",
    "What angle between generator and network will be ",
    "acceptable can be set in the Tools | Setup.",
};

template <std::size_t N> inline QStringList helpLines(const char *const (&text)[N]) {
    QStringList result;
    for (const char *line : text) result << QString::fromLatin1(line);
    return result;
}
