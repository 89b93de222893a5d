#include "lessonpane.h"

#include "layouthelpers.h"
#include "layoutzoom.h"
#include "lessonfile.h"
#include "lessonsession.h"
#include "lessontext.h"
#include "markdowntext.h"
#include "numberformat.h"
#include "textconvert.h"

#include <optional>
#include <QAccessible>
#include <QButtonGroup>
#include <QDir>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QUrl>
#include <QVBoxLayout>

namespace {

// The pane's width at 100 %: a few words a line beside the plots.
constexpr int PaneWidth = 340;

const QString AfterRunHeading = QStringLiteral("After the run");

// The lesson's words: Markdown without HTML, so that "A1 <A2" is text. The pictures are
// read from the lesson's folder alone; nothing else is read, nothing comes from the
// network, and a click on a link opens nothing.
class LessonBrowser : public FolderTextBrowser {
public:
    explicit LessonBrowser(QWidget *parent) : FolderTextBrowser(parent) {
        setTabChangesFocus(true);
        maxPictureBytes = MaxLessonPictureBytes; // as the lesson's reader checks them
    }
};

QString unitText(LessonAsk ask) {
    const QString unit = QString::fromUtf8(askUnit(ask).data(), qsizetype(askUnit(ask).size()));
    return unit.isEmpty() ? QStringLiteral("p.u.") : unit;
}

QString unitWords(LessonAsk ask) {
    switch (ask) {
    case LessonAsk::MaxAngle:
        return QStringLiteral("in degrees");
    case LessonAsk::CriticalClearingMs:
        return QStringLiteral("in milliseconds");
    case LessonAsk::LargestStablePmech:
        return QStringLiteral("per-unit of Pmax");
    case LessonAsk::Verdict:
        break;
    }
    return {};
}

QString fromUtf8(const std::string &s) {
    return QString::fromStdString(s);
}

} // namespace

LessonPane::LessonPane(LessonSession &lesson, QWidget *parent)
    : QDockWidget(QStringLiteral("Lesson"), parent), m_lesson(lesson) {
    setObjectName(QStringLiteral("LessonPane"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    setFeatures(DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable);
    m_font = font();

    auto *content = new QWidget(this);
    content->setObjectName(QStringLiteral("LessonContent"));
    content->setMinimumWidth(PaneWidth);
    auto *layout = new QVBoxLayout(content);

    m_stepNumber = new QLabel(content);
    m_stepNumber->setObjectName(QStringLiteral("LessonStepLabel"));
    m_stepNumber->setTextFormat(Qt::PlainText);
    layout->addWidget(m_stepNumber);

    auto *browser = new LessonBrowser(content);
    m_text = browser;
    m_text->setObjectName(QStringLiteral("LessonText"));
    m_text->setMinimumHeight(80);
    describe(m_text, QStringLiteral("Lesson text"),
             QStringLiteral("What the lecturer wrote for this step."));
    layout->addWidget(m_text, 1);

    m_question = new QLabel(content);
    m_question->setObjectName(QStringLiteral("LessonQuestion"));
    m_question->setTextFormat(Qt::PlainText);
    m_question->setWordWrap(true);
    m_question->setAccessibleDescription(
        QStringLiteral("The question of this step: predict the answer before you run."));
    layout->addWidget(m_question);

    auto *input = new QHBoxLayout;
    m_inStep = new QRadioButton(QStringLiteral("&In step"), content);
    m_inStep->setObjectName(QStringLiteral("PredictInStep"));
    m_outOfStep = new QRadioButton(QStringLiteral("&Out of step"), content);
    m_outOfStep->setObjectName(QStringLiteral("PredictOutOfStep"));
    for (QRadioButton *choice : {m_inStep, m_outOfStep})
        choice->setAccessibleDescription(QStringLiteral("Your prediction of the run's verdict"));
    m_verdict = new QButtonGroup(this);
    m_verdict->addButton(m_inStep);
    m_verdict->addButton(m_outOfStep);
    m_value = new QLineEdit(content);
    m_value->setObjectName(QStringLiteral("PredictValue"));
    m_value->setMaxLength(40);
    m_unit = new QLabel(content);
    m_unit->setObjectName(QStringLiteral("PredictUnit"));
    m_unit->setTextFormat(Qt::PlainText);
    m_predict = new QPushButton(QStringLiteral("&Predict"), content);
    m_predict->setObjectName(QStringLiteral("PredictButton"));
    m_predict->setAutoDefault(true); // Enter presses it when it has the focus
    m_predict->setAccessibleDescription(
        QStringLiteral("Takes your prediction; you may change it until the run starts."));
    input->addWidget(m_inStep);
    input->addWidget(m_outOfStep);
    input->addWidget(m_value, 1);
    input->addWidget(m_unit);
    input->addStretch();
    input->addWidget(m_predict);
    layout->addLayout(input);
    connect(m_predict, &QPushButton::clicked, this, &LessonPane::predict);
    connect(m_value, &QLineEdit::returnPressed, this, &LessonPane::predict);

    m_result = new QLabel(content);
    m_result->setObjectName(QStringLiteral("LessonResult"));
    m_result->setTextFormat(Qt::PlainText);
    m_result->setWordWrap(true);
    // It takes the focus to be read out, as the status bar's simulation line does.
    m_result->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_result->setAccessibleDescription(
        QStringLiteral("Whether the run waits for your prediction, and the run's outcome."));
    layout->addWidget(m_result);

    auto *steps = new QHBoxLayout;
    m_back = new QPushButton(QStringLiteral("&Back"), content);
    m_back->setObjectName(QStringLiteral("LessonBack"));
    m_next = new QPushButton(QStringLiteral("&Next"), content);
    m_next->setObjectName(QStringLiteral("LessonNext"));
    for (QPushButton *button : {m_back, m_next}) button->setAutoDefault(true);
    steps->addWidget(m_back);
    steps->addStretch();
    steps->addWidget(m_next);
    layout->addLayout(steps);
    connect(m_back, &QPushButton::clicked, this, [this] { m_lesson.back(); });
    connect(m_next, &QPushButton::clicked, this, [this] { m_lesson.next(); });

    // Top to bottom, as the student reads and answers.
    setTabOrder(m_text, m_inStep);
    setTabOrder(m_inStep, m_outOfStep);
    setTabOrder(m_outOfStep, m_value);
    setTabOrder(m_value, m_predict);
    setTabOrder(m_predict, m_result);
    setTabOrder(m_result, m_back);
    setTabOrder(m_back, m_next);
    setWidget(content);

    connect(&m_lesson, &LessonSession::opened, this, &LessonPane::showStep);
    connect(&m_lesson, &LessonSession::closed, this, &LessonPane::showStep);
    connect(&m_lesson, &LessonSession::stepChanged, this, &LessonPane::showStep);
    connect(&m_lesson, &LessonSession::predicted, this, [this] {
        showProgress();
        setResult(m_result->text(), true);
    });
    connect(&m_lesson, &LessonSession::predictionLocked, this, &LessonPane::showProgress);
    connect(&m_lesson, &LessonSession::revealed, this, [this] {
        showText(true);
        showProgress();
        // The outcome beside the prediction is read out; a step of free exploration has
        // only its words for after the run, and the focus stays where the run left it.
        if (m_lesson.step().question) setResult(m_result->text(), true);
    });
    showStep();
}

void LessonPane::setZoom(double zoom) {
    setFont(LayoutZoom::scaled(m_font, zoom));
    widget()->setMinimumWidth(LayoutZoom::scaled(QSize(PaneWidth, 0), zoom).width());
}

void LessonPane::showStep() {
    const bool open = m_lesson.isOpen() && m_lesson.stepCount() > 0;
    setWindowTitle(open ? fromUtf8(m_lesson.lesson().title) : QStringLiteral("Lesson"));
    auto *browser = static_cast<LessonBrowser *>(m_text);
    browser->folder = open && !m_lesson.path().isEmpty()
                          ? QFileInfo(m_lesson.path()).absoluteDir().canonicalPath()
                          : QString();
    m_value->clear();
    m_verdict->setExclusive(false);
    m_inStep->setChecked(false);
    m_outOfStep->setChecked(false);
    m_verdict->setExclusive(true);
    if (!open) {
        m_stepNumber->clear();
        m_text->clear();
        m_question->clear();
        m_question->setAccessibleName(QString());
        for (QWidget *w :
             std::initializer_list<QWidget *>{m_inStep, m_outOfStep, m_value, m_unit, m_predict})
            w->hide();
        m_back->setEnabled(false);
        m_next->setEnabled(false);
        setResult(QString(), false);
        return;
    }
    const int index = m_lesson.stepIndex();
    m_stepNumber->setText(stepNumberText(index, m_lesson.stepCount()));
    m_stepNumber->setAccessibleName(m_stepNumber->text() + QStringLiteral(": ") +
                                    fromUtf8(m_lesson.step().title));
    const LessonStep &step = m_lesson.step();
    if (step.question) {
        m_question->setText(questionText(*step.question, step.studyCase.scenario));
        if (step.question->ask != LessonAsk::Verdict) {
            m_unit->setText(unitText(step.question->ask));
            m_value->setAccessibleName(QStringLiteral("Your prediction, ") +
                                       unitWords(step.question->ask));
            m_value->setAccessibleDescription(
                QStringLiteral("A number; Enter or Predict takes it. You may change it until "
                               "the run starts."));
        }
    } else {
        m_question->setText(
            QStringLiteral("Free exploration: this step asks no question. Run what you like."));
    }
    m_question->setAccessibleName(m_question->text());
    m_back->setEnabled(index > 0);
    m_next->setEnabled(index + 1 < m_lesson.stepCount());
    showText(m_lesson.progress().revealed);
    showProgress();
}

void LessonPane::showText(bool afterRun) {
    const LessonStep &step = m_lesson.step();
    QString markdown;
    if (m_lesson.stepIndex() == 0 && !m_lesson.lesson().introduction.empty())
        markdown += fromUtf8(m_lesson.lesson().introduction) + QStringLiteral("\n\n");
    markdown +=
        QStringLiteral("## ") + fromUtf8(step.title) + QStringLiteral("\n\n") + fromUtf8(step.text);
    const bool withAfterRun = afterRun && !step.afterRun.empty();
    if (withAfterRun)
        markdown += QStringLiteral("\n\n### ") + AfterRunHeading + QStringLiteral("\n\n") +
                    fromUtf8(step.afterRun);
    QTextDocument *document = m_text->document();
    document->setMarkdown(markdown,
                          QTextDocument::MarkdownFeatures(QTextDocument::MarkdownDialectGitHub |
                                                          QTextDocument::MarkdownNoHTML));
    spaceParagraphs(document, m_text->fontMetrics().height() / 2.0); // half a line
    if (!withAfterRun) {
        // A new step is read from its top.
        m_text->setTextCursor(QTextCursor(document));
        m_text->verticalScrollBar()->setValue(0);
        return;
    }
    // The words the run has just unlocked come into view.
    const QTextCursor heading =
        m_text->document()->find(AfterRunHeading, m_text->document()->characterCount(),
                                 QTextDocument::FindBackward | QTextDocument::FindCaseSensitively);
    if (heading.isNull()) return;
    QTextCursor end(m_text->document());
    end.movePosition(QTextCursor::End);
    m_text->setTextCursor(end);
    m_text->ensureCursorVisible();
    // At the heading, nothing selected.
    QTextCursor at = heading;
    at.clearSelection();
    m_text->setTextCursor(at);
    m_text->ensureCursorVisible();
}

void LessonPane::showProgress() {
    const LessonStep &step = m_lesson.step();
    const LessonProgress &progress = m_lesson.progress();
    const bool asks = step.question.has_value();
    const bool verdict = asks && step.question->ask == LessonAsk::Verdict;
    m_inStep->setVisible(verdict);
    m_outOfStep->setVisible(verdict);
    m_value->setVisible(asks && !verdict);
    m_unit->setVisible(asks && !verdict);
    m_predict->setVisible(asks);
    // The prediction stands in the input, to be changed until the step's run starts.
    const bool taken = progress.prediction.has_value();
    const bool open = m_lesson.answerOpen();
    for (QWidget *w : std::initializer_list<QWidget *>{m_inStep, m_outOfStep, m_value, m_predict})
        w->setEnabled(open);
    if (taken) {
        if (verdict)
            (*progress.prediction == InStepAnswer ? m_inStep : m_outOfStep)->setChecked(true);
        else
            m_value->setText(formatGeneral(*progress.prediction));
    }
    if (!asks)
        setResult(QStringLiteral("Nothing to predict here: every run goes."), false);
    else if (!taken)
        setResult(QStringLiteral("Predict first: the run waits for your prediction."), false);
    else if (!progress.revealed)
        setResult(runPrompt(), false);
    else
        setResult(outcomeText(*step.question, *progress.prediction, step.answer,
                              systemDecimalSeparator()),
                  false);
}

void LessonPane::predict() {
    if (!m_lesson.isOpen() || !m_lesson.step().question) return;
    const LessonAsk ask = m_lesson.step().question->ask;
    std::optional<double> value;
    if (ask == LessonAsk::Verdict) {
        if (m_inStep->isChecked()) value = InStepAnswer;
        if (m_outOfStep->isChecked()) value = OutOfStepAnswer;
        if (!value) {
            setResult(QStringLiteral("Choose \"In step\" or \"Out of step\" first."), true);
            return;
        }
    } else {
        const QString written = m_value->text().trimmed();
        value = typedNumber(written);
        if (!value) {
            const QString example =
                QStringLiteral("such as 12") + systemDecimalSeparator() + QLatin1Char('5');
            setResult(written.isEmpty()
                          ? QStringLiteral("Write your prediction first: a number %1, %2.")
                                .arg(unitWords(ask), example)
                          : QStringLiteral("\"%1\" is not a number: write your prediction in "
                                           "digits, %2.")
                                .arg(written, example),
                      true);
            return;
        }
    }
    const PredictionProblem problem = m_lesson.predictionProblem(*value);
    if (problem != PredictionProblem::None) {
        setResult(predictionProblemText(problem, ask, *value,
                                        startingAngleDegrees(m_lesson.step().studyCase),
                                        systemDecimalSeparator()),
                  true);
        return;
    }
    // The session announces the prediction it takes; one after the run has started it
    // refuses.
    if (!m_lesson.predict(*value))
        setResult(QStringLiteral("The run has started: your prediction stands."), true);
}

QString LessonPane::runPrompt() const {
    const LessonStep &step = m_lesson.step();
    const LessonProgress &progress = m_lesson.progress();
    const QString predicted =
        answerText(step.question->ask, *progress.prediction, systemDecimalSeparator());
    if (progress.runStarted)
        return QStringLiteral("You predicted %1. The outcome shows at the end of the step's "
                              "run.")
            .arg(predicted);
    // A critical clearing time is tried: the run clears the fault at the time predicted.
    const QString run = step.question->ask == LessonAsk::CriticalClearingMs
                            ? QStringLiteral("Now run it, the fault cleared after %1 ms: press "
                                             "\"short circuit\".")
                                  .arg(m_lesson.runCase().clearingMs)
                            : QStringLiteral("Now run it: press \"short circuit\".");
    return QStringLiteral("You predicted %1. %2 You may change your prediction until the run "
                          "starts.")
        .arg(predicted, run);
}

void LessonPane::showHeldBack(const QString &why) {
    show();
    raise();
    setResult(why.isEmpty() ? QStringLiteral("Predict first: the run waits for your prediction.")
                            : why,
              true);
}

void LessonPane::setResult(const QString &text, bool announce) {
    if (m_result->text() != text) {
        m_result->setText(text);
        m_result->setAccessibleName(text);
    }
    if (!announce || !m_result->isVisible()) return;
    // Qt 6.4 has no announcement event, and screen readers speak a line that changes only
    // while it has the focus: the line takes the focus and is read as the focus moves
    // there; already there, it is read again.
    if (m_result->hasFocus()) {
        QAccessibleEvent event(m_result, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
    m_result->setFocus(Qt::OtherFocusReason);
}
