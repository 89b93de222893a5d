#pragma once

#include <optional>
#include <QByteArray>
#include <QString>
#include <QStringList>
#include <vector>

// A lesson as a class meets it on paper, in a record and in marks, whichever program's:
// its title, each step's words and pictures, and each question with the answer the
// program worked out. Dravex's and Selmex's lessons are each turned into one, so that the
// worksheet, the answer key, the marks and the Moodle questions are made once for both.

struct OutlineQuestion {
    QString askName; // the lesson file's name of the question: "max_angle", "permits", ...
    QString text;    // the question as a sentence
    // A choice between texts, as the record writes them ("in step" / "out of step",
    // "yes" / "no", "L1" / "L2" / "L3"), or, when empty, a number.
    QStringList choices;
    QString unit;          // behind a number, as the pane shows it: "°", " ms", " × rated", ""
    double answer = 0;     // the number, or the index of the right choice
    double tolerance = 0;  // how far a number may lie from the answer and count as right
    int decimals = 1;      // how a number answer is written
    QString answerText;    // as the key writes it: "104.3°", "in step", "L2"
    QString toleranceText; // "5.0°"; empty for a choice
    QString howFound;      // one line on how the program found the answer
    bool isChoice() const { return !choices.isEmpty(); }
};

struct OutlineStep {
    QString title;    // the "##" heading
    QString text;     // Markdown, shown from the start
    QString afterRun; // Markdown, shown once the run has answered
    int line = 0;     // the heading's line in the lesson file
    std::optional<OutlineQuestion> question;
};

struct LessonOutline {
    QString program;      // "Dravex" or "Selmex", as a record's first line names it
    QString title;        // the "#" heading
    QString introduction; // Markdown before the first step
    QString folder;       // where the lesson's pictures lie; empty: it shows none
    QString fingerprint;  // lessonFingerprint of the lesson file's bytes
    std::vector<OutlineStep> steps;
    // How many steps ask a question.
    int questionCount() const;
};

// What identifies a lesson file in a record: the first 16 hex digits (lower case) of the
// SHA-256 of its bytes, so that a record is marked against the very lesson it came from.
QString lessonFingerprint(const QByteArray &bytes);

// Whether a prediction counts as right: a choice's text equal to the answer's, or a
// finite number within the tolerance (with a few ulps of slack, so that 0.90 against
// 0.88 within 0.02 counts as written).
bool outlinePredictionRight(const OutlineQuestion &q, double prediction);
