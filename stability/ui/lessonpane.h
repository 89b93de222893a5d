#pragma once

#include <QDockWidget>
#include <QFont>
#include <QString>

class LessonSession;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextBrowser;

// The lesson beside the main window: the step shown, its words, its question and the
// student's prediction, and after the run the outcome beside the prediction. It shows
// what the lesson session announces and hands it the student's prediction and the
// step to show; the session holds the runs back until the student has predicted.
class LessonPane : public QDockWidget {
    Q_OBJECT
public:
    explicit LessonPane(LessonSession &lesson, QWidget *parent = nullptr);

    // The View menu's zoom: the pane's words, the lesson's text among them, at the
    // window's zoom.
    void setZoom(double zoom);
    // A run or a command that would give the answer away was held back: the result line
    // says why (the prediction awaited, unless `why` says otherwise), and a screen reader
    // reads it.
    void showHeldBack(const QString &why = QString());

    // The parts a window wires and a test reads.
    QTextBrowser *text() const { return m_text; }
    QLabel *result() const { return m_result; }

private:
    // The step as the session has it: its words, question, input and result.
    void showStep();
    // The prediction and the outcome of the step shown, and the buttons that follow them.
    void showProgress();
    // The lesson's words for the step, with the after-run words once the run has answered.
    void showText(bool afterRun);
    void predict();
    // The result line between the prediction and the run's end.
    QString runPrompt() const;
    // Writes the result line; `announce` has a screen reader read it at once.
    void setResult(const QString &text, bool announce);

    LessonSession &m_lesson;
    QFont m_font; // at 100 %

    QLabel *m_stepNumber = nullptr;
    QTextBrowser *m_text = nullptr;
    QLabel *m_question = nullptr;
    QButtonGroup *m_verdict = nullptr;
    QRadioButton *m_inStep = nullptr;
    QRadioButton *m_outOfStep = nullptr;
    QLineEdit *m_value = nullptr;
    QLabel *m_unit = nullptr;
    QPushButton *m_predict = nullptr;
    QLabel *m_result = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
};
