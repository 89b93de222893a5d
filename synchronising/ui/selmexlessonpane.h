#pragma once

#include "lessonoutline.h"

#include <array>
#include <QDockWidget>
#include <QFont>
#include <QString>

class SelmexLessonSession;
class QButtonGroup;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTextBrowser;

// The lesson beside the switchboard: the step shown, its words and pictures, its question
// and the student's prediction (a number with its unit, or one of the choices), and once
// the exercise has answered the outcome beside the prediction. It shows what the lesson
// session announces and hands it the prediction, the request for the outcome and the
// step to show; the session holds the exercise until the student has predicted.
class SelmexLessonPane : public QDockWidget {
    Q_OBJECT
public:
    explicit SelmexLessonPane(SelmexLessonSession &lesson, QWidget *parent = nullptr);

    // The View menu's zoom: the pane's words at the window's zoom.
    void setZoom(double zoom);
    // A close was held back: the result line says why, and a screen reader reads it.
    void showHeldBack();
    // The lesson as the pane shows it: its questions' words, choices and answers.
    const LessonOutline &outline() const { return m_outline; }

    // Whether `w` is where the student types or reads with the keys: the prediction's
    // number and the lesson's text.
    bool readsKeys(const QWidget *w) const;

    QTextBrowser *text() const { return m_text; }
    QLabel *result() const { return m_result; }

protected:
    void resizeEvent(QResizeEvent *event) override;

private:
    // Once the events that moved or showed the pane are over, the window widens for it
    // rather than squeeze the instruments, and narrows again once it goes.
    void fitLater();
    void showStep();
    // The prediction and the outcome of the step shown, and the buttons that follow them.
    void showProgress();
    void showText(bool afterRun);
    void predict();
    const OutlineQuestion *question() const;
    void setResult(const QString &text, bool announce);

    SelmexLessonSession &m_lesson;
    LessonOutline m_outline;
    QFont m_font; // at 100 %
    bool m_fitPending = false;
    bool m_widened = false;

    QLabel *m_stepNumber = nullptr;
    QTextBrowser *m_text = nullptr;
    QLabel *m_question = nullptr;
    QButtonGroup *m_choiceGroup = nullptr;
    std::array<QRadioButton *, 3> m_choices{};
    QLineEdit *m_value = nullptr;
    QLabel *m_unit = nullptr;
    QPushButton *m_predict = nullptr;
    QLabel *m_result = nullptr;
    QPushButton *m_showOutcome = nullptr;
    QPushButton *m_back = nullptr;
    QPushButton *m_next = nullptr;
};
