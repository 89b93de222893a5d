#include "selmexlessonpane.h"

#include "layouthelpers.h"
#include "layoutzoom.h"
#include "lessondocument.h"
#include "markdowntext.h"
#include "numberformat.h"
#include "selmexlessonsession.h"
#include "selmexlessontext.h"
#include "taskpanel.h"
#include "textconvert.h"

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
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTimer>
#include <QVBoxLayout>

namespace {

// The pane's width at 100 %: a few words a line beside the instruments.
constexpr int PaneWidth = 340;

const QString AfterRunHeading = QStringLiteral("After the close");

// A choice as its button shows it: "yes" as "Yes", "L2" as it is.
QString choiceLabel(const QString &choice) {
    return choice.isEmpty() ? choice : choice.at(0).toUpper() + choice.mid(1);
}

// The unit in words, for a screen reader.
QString unitWords(const QString &unit) {
    QString u = unit.trimmed();
    if (u == QStringLiteral("°")) return QStringLiteral("in degrees");
    if (u.contains(QStringLiteral("rated"))) return QStringLiteral("in times the rated current");
    return u;
}

} // namespace

SelmexLessonPane::SelmexLessonPane(SelmexLessonSession &lesson, QWidget *parent)
    : QDockWidget(QStringLiteral("Lesson"), parent), m_lesson(lesson) {
    setObjectName(QStringLiteral("SelmexLessonPane"));
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

    // Markdown without HTML; its pictures from the lesson's folder alone.
    auto *browser = new FolderTextBrowser(content);
    browser->setTabChangesFocus(true);
    browser->maxPictureBytes = MaxLessonPictureBytes; // as the lesson's reader checks them
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
    m_question->setFocusPolicy(Qt::TabFocus);
    m_question->setAccessibleDescription(
        QStringLiteral("The question of this step: predict the answer before you close."));
    layout->addWidget(m_question);

    auto *input = new QHBoxLayout;
    m_choiceGroup = new QButtonGroup(this);
    for (std::size_t i = 0; i < m_choices.size(); ++i) {
        m_choices[i] = new QRadioButton(content);
        m_choices[i]->setObjectName(QStringLiteral("PredictChoice%1").arg(i + 1));
        m_choices[i]->setAccessibleDescription(QStringLiteral("Your prediction"));
        m_choiceGroup->addButton(m_choices[i], int(i));
        input->addWidget(m_choices[i]);
    }
    m_value = new QLineEdit(content);
    m_value->setObjectName(QStringLiteral("PredictValue"));
    m_value->setMaxLength(40);
    m_value->setAccessibleDescription(
        QStringLiteral("A number; Enter or Predict takes it, and it stands from then on."));
    m_unit = new QLabel(content);
    m_unit->setObjectName(QStringLiteral("PredictUnit"));
    m_unit->setTextFormat(Qt::PlainText);
    m_predict = new QPushButton(QStringLiteral("&Predict"), content);
    m_predict->setObjectName(QStringLiteral("PredictButton"));
    m_predict->setAutoDefault(true);
    m_predict->setAccessibleDescription(
        QStringLiteral("Takes your prediction and starts the exercise; it stands from then on."));
    input->addWidget(m_value, 1);
    input->addWidget(m_unit);
    input->addStretch();
    input->addWidget(m_predict);
    layout->addLayout(input);
    connect(m_predict, &QPushButton::clicked, this, &SelmexLessonPane::predict);
    connect(m_value, &QLineEdit::returnPressed, this, &SelmexLessonPane::predict);

    m_result = new QLabel(content);
    m_result->setObjectName(QStringLiteral("LessonResult"));
    m_result->setTextFormat(Qt::PlainText);
    m_result->setWordWrap(true);
    // It takes the focus to be read out.
    m_result->setTextInteractionFlags(Qt::TextSelectableByKeyboard | Qt::TextSelectableByMouse);
    m_result->setAccessibleDescription(
        QStringLiteral("Whether the exercise waits for your prediction, and its outcome."));
    layout->addWidget(m_result);

    m_showOutcome = new QPushButton(QStringLiteral("&Show the outcome"), content);
    m_showOutcome->setObjectName(QStringLiteral("ShowOutcome"));
    m_showOutcome->setAutoDefault(true);
    m_showOutcome->setAccessibleDescription(
        QStringLiteral("Shows the answer now, without waiting for a close."));
    connect(m_showOutcome, &QPushButton::clicked, this, [this] { m_lesson.showOutcome(); });
    layout->addWidget(m_showOutcome, 0, Qt::AlignLeft);

    auto *steps = new QHBoxLayout;
    m_back = new QPushButton(QStringLiteral("&Back"), content);
    m_back->setObjectName(QStringLiteral("LessonBack"));
    m_next = new QPushButton(QStringLiteral("&Next"), content);
    m_next->setObjectName(QStringLiteral("LessonNext"));
    for (QPushButton *button : {m_back, m_next}) button->setAutoDefault(true);
    m_back->setAccessibleDescription(QStringLiteral("The step before"));
    m_next->setAccessibleDescription(QStringLiteral("The next step"));
    steps->addWidget(m_back);
    steps->addStretch();
    steps->addWidget(m_next);
    layout->addLayout(steps);
    connect(m_back, &QPushButton::clicked, this, [this] { m_lesson.back(); });
    connect(m_next, &QPushButton::clicked, this, [this] { m_lesson.next(); });

    // Top to bottom, as the student reads and answers.
    QWidget *order[] = {m_text,    m_question, m_choices[0],  m_choices[1], m_choices[2], m_value,
                        m_predict, m_result,   m_showOutcome, m_back,       m_next};
    for (std::size_t i = 1; i < std::size(order); ++i) setTabOrder(order[i - 1], order[i]);
    setWidget(content);

    connect(&m_lesson, &SelmexLessonSession::opened, this, [this] {
        const QString folder = m_lesson.path().isEmpty()
                                   ? QString()
                                   : QFileInfo(m_lesson.path()).absoluteDir().canonicalPath();
        m_outline = selmexLessonOutline(m_lesson.lesson(), folder);
    });
    connect(&m_lesson, &SelmexLessonSession::closed, this, &SelmexLessonPane::showStep);
    connect(&m_lesson, &SelmexLessonSession::stepChanged, this, &SelmexLessonPane::showStep);
    connect(&m_lesson, &SelmexLessonSession::predicted, this, [this] {
        showProgress();
        setResult(m_result->text(), true);
    });
    connect(&m_lesson, &SelmexLessonSession::revealed, this, [this] {
        showText(true);
        showProgress();
        if (m_lesson.step().question) setResult(m_result->text(), true);
    });
    for (auto signal : {&QDockWidget::visibilityChanged, &QDockWidget::topLevelChanged})
        connect(this, signal, this, &SelmexLessonPane::fitLater);
    connect(this, &QDockWidget::dockLocationChanged, this, &SelmexLessonPane::fitLater);
    showStep();
}

void SelmexLessonPane::resizeEvent(QResizeEvent *event) {
    QDockWidget::resizeEvent(event);
    if (!isFloating()) fitLater();
}

void SelmexLessonPane::fitLater() {
    if (m_fitPending) return;
    m_fitPending = true;
    QTimer::singleShot(0, this, [this] {
        m_fitPending = false;
        fitWindowBesidePane(this, m_widened);
    });
}

void SelmexLessonPane::setZoom(double zoom) {
    setFont(LayoutZoom::scaled(m_font, zoom));
    widget()->setMinimumWidth(LayoutZoom::scaled(QSize(PaneWidth, 0), zoom).width());
}

bool SelmexLessonPane::readsKeys(const QWidget *w) const {
    return w == m_value || w == m_text || m_text->isAncestorOf(w);
}

const OutlineQuestion *SelmexLessonPane::question() const {
    const auto index = std::size_t(m_lesson.stepIndex());
    if (!m_lesson.isOpen() || index >= m_outline.steps.size()) return nullptr;
    const auto &q = m_outline.steps[index].question;
    return q ? &*q : nullptr;
}

void SelmexLessonPane::showStep() {
    const bool open = m_lesson.isOpen() && m_lesson.stepCount() > 0;
    setWindowTitle(open ? m_outline.title : QStringLiteral("Lesson"));
    static_cast<FolderTextBrowser *>(m_text)->folder = open ? m_outline.folder : QString();
    m_value->clear();
    m_choiceGroup->setExclusive(false);
    for (QRadioButton *choice : m_choices) choice->setChecked(false);
    m_choiceGroup->setExclusive(true);
    if (!open) {
        m_stepNumber->clear();
        m_text->clear();
        m_question->clear();
        for (QWidget *w :
             std::initializer_list<QWidget *>{m_choices[0], m_choices[1], m_choices[2], m_value,
                                              m_unit, m_predict, m_showOutcome})
            w->hide();
        m_back->setEnabled(false);
        m_next->setEnabled(false);
        setResult(QString(), false);
        return;
    }
    const int index = m_lesson.stepIndex();
    m_stepNumber->setText(QStringLiteral("Step %1 of %2").arg(index + 1).arg(m_lesson.stepCount()));
    m_stepNumber->setAccessibleName(m_stepNumber->text() + QStringLiteral(": ") +
                                    QString::fromStdString(m_lesson.step().title));
    if (const OutlineQuestion *q = question()) {
        m_question->setText(q->text);
        for (std::size_t i = 0; i < m_choices.size(); ++i) {
            const bool has = int(i) < q->choices.size();
            m_choices[i]->setText(has ? choiceLabel(q->choices[int(i)]) : QString());
            m_choices[i]->setAccessibleName(
                has ? QStringLiteral("Predict ") + choiceLabel(q->choices[int(i)]) : QString());
        }
        m_unit->setText(q->unit.trimmed());
        m_value->setAccessibleName(
            (QStringLiteral("Your prediction ") + unitWords(q->unit)).trimmed());
    } else {
        m_question->setText(QStringLiteral("Free exploration: this step asks no question. Close "
                                           "the breaker when you are ready."));
    }
    m_question->setAccessibleName(m_question->text());
    m_back->setEnabled(index > 0);
    m_next->setEnabled(index + 1 < m_lesson.stepCount());
    showText(m_lesson.progress().revealed);
    showProgress();
}

void SelmexLessonPane::showText(bool afterRun) {
    const SelmexLessonStep &step = m_lesson.step();
    QString markdown;
    if (m_lesson.stepIndex() == 0 && !m_outline.introduction.isEmpty())
        markdown += m_outline.introduction + QStringLiteral("\n\n");
    markdown += QStringLiteral("## ") + QString::fromStdString(step.title) +
                QStringLiteral("\n\n") + QString::fromStdString(step.text);
    const bool withAfterRun = afterRun && !step.afterRun.empty();
    if (withAfterRun)
        markdown += QStringLiteral("\n\n### ") + AfterRunHeading + QStringLiteral("\n\n") +
                    QString::fromStdString(step.afterRun);
    QTextDocument *document = m_text->document();
    document->setMarkdown(markdown,
                          QTextDocument::MarkdownFeatures(QTextDocument::MarkdownDialectGitHub |
                                                          QTextDocument::MarkdownNoHTML));
    spaceParagraphs(document, m_text->fontMetrics().height() / 2.0);
    QTextCursor at(document);
    if (withAfterRun) {
        // The words the close has just unlocked come into view, at their heading.
        QTextCursor end(document);
        end.movePosition(QTextCursor::End);
        m_text->setTextCursor(end);
        m_text->ensureCursorVisible();
        const QTextCursor heading =
            document->find(AfterRunHeading, document->characterCount(),
                           QTextDocument::FindBackward | QTextDocument::FindCaseSensitively);
        if (!heading.isNull()) at = heading;
        at.clearSelection();
    }
    m_text->setTextCursor(at);
    if (withAfterRun)
        m_text->ensureCursorVisible();
    else
        m_text->verticalScrollBar()->setValue(0);
}

void SelmexLessonPane::showProgress() {
    const SelmexLessonStep &step = m_lesson.step();
    const SelmexLessonProgress &progress = m_lesson.progress();
    const OutlineQuestion *q = question();
    const bool choice = q && q->isChoice();
    for (std::size_t i = 0; i < m_choices.size(); ++i)
        m_choices[i]->setVisible(choice && int(i) < q->choices.size());
    m_value->setVisible(q && !choice);
    m_unit->setVisible(q && !choice && !q->unit.trimmed().isEmpty());
    m_predict->setVisible(q);
    const bool open = m_lesson.awaitsPrediction();
    for (QWidget *w : std::initializer_list<QWidget *>{m_choices[0], m_choices[1], m_choices[2],
                                                       m_value, m_predict})
        w->setEnabled(open);
    if (q && progress.prediction) {
        if (choice) {
            const int index = int(choiceIndex(step.question->ask, *progress.prediction));
            if (QAbstractButton *b = m_choiceGroup->button(index)) b->setChecked(true);
        } else {
            m_value->setText(formatGeneral(*progress.prediction));
        }
    }
    m_showOutcome->setVisible(m_lesson.mayShowOutcome());
    const bool atSwitchboard = step.lessonCase.switchboard.has_value();
    QString line;
    if (!q)
        line = progress.revealed ? QString()
               : atSwitchboard   ? QStringLiteral("Nothing to predict here: every close goes.")
                               : QStringLiteral("Nothing to predict here: try it in the trainer.");
    else if (!progress.prediction)
        line = atSwitchboard ? QStringLiteral("Predict first: the exercise waits for your "
                                              "prediction.")
                             : QStringLiteral("Predict first.");
    else if (!progress.revealed)
        line = atSwitchboard ? QStringLiteral("Your prediction stands. Now bring the generator "
                                              "in and close the breaker: the first close shows "
                                              "the outcome.")
                             : QStringLiteral("Your prediction stands. Try it in the trainer, "
                                              "then show the outcome.");
    else
        line = selmexOutcomeText(*step.question, *progress.prediction, step.answer,
                                 systemDecimalSeparator());
    setResult(line, false);
}

void SelmexLessonPane::predict() {
    const OutlineQuestion *q = question();
    if (!q) return;
    std::optional<double> value;
    const SelmexQuestion &asked = *m_lesson.step().question;
    if (q->isChoice()) {
        // The button's choice as the model numbers it (yes is 1, no 0).
        for (int v = 0; v < selmexChoiceCount(asked.ask); ++v)
            if (int(choiceIndex(asked.ask, v)) == m_choiceGroup->checkedId()) value = v;
        if (!value) {
            QStringList labels;
            for (const QString &c : q->choices) labels << QChar('"') + choiceLabel(c) + QChar('"');
            setResult(QStringLiteral("Choose %1 first.").arg(labels.join(QStringLiteral(" or "))),
                      true);
            return;
        }
    } else {
        const QString written = m_value->text().trimmed();
        value = typedNumber(written);
        if (!value) {
            const QString example =
                QStringLiteral("such as 2") + systemDecimalSeparator() + QLatin1Char('5');
            setResult(
                written.isEmpty()
                    ? QStringLiteral("Write your prediction first: a number, %1.").arg(example)
                    : QStringLiteral("\"%1\" is not a number: write your prediction in "
                                     "digits, %2.")
                          .arg(written, example),
                true);
            return;
        }
    }
    if (const auto problem = checkSelmexPrediction(asked, *value);
        problem != SelmexPredictionProblem::None) {
        setResult(selmexPredictionProblemText(problem, asked.ask), true);
        return;
    }
    // The session announces the prediction it takes.
    if (!m_lesson.predict(*value))
        setResult(QStringLiteral("Your prediction stands: it cannot change now."), true);
}

void SelmexLessonPane::showHeldBack() {
    show();
    raise();
    setResult(QStringLiteral("Predict first: the exercise waits for your prediction, and the "
                             "breaker does not close until then."),
              true);
}

void SelmexLessonPane::setResult(const QString &text, bool announce) {
    if (m_result->text() != text) {
        m_result->setText(text);
        m_result->setAccessibleName(text);
    }
    m_result->setVisible(!text.isEmpty());
    if (!announce || !m_result->isVisible()) return;
    // Screen readers speak a line that changes only while it has the focus: the line takes
    // it; already there, it is read again.
    if (m_result->hasFocus()) {
        QAccessibleEvent event(m_result, QAccessible::Focus);
        QAccessible::updateAccessibility(&event);
    }
    m_result->setFocus(Qt::OtherFocusReason);
}
