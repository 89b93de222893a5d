#include "taskpanel.h"

#include "layouthelpers.h"
#include "layoutzoom.h"
#include "tasktext.h"

#include <QAction>
#include <QEvent>
#include <QLayout>
#include <QMainWindow>
#include <QPlainTextEdit>
#include <QTimer>

namespace {

// The pane's least width, in average characters of its font: a few words a line beside
// the window's client area, at any zoom.
constexpr int LeastCharacters = 44;

} // namespace

TaskPanel::TaskPanel(QMainWindow *window, std::function<void()> fitWindow)
    : QDockWidget(QStringLiteral("Task"), window), m_fitWindow(std::move(fitWindow)) {
    setObjectName(QStringLiteral("TaskPanel"));
    setAllowedAreas(Qt::LeftDockWidgetArea | Qt::RightDockWidgetArea);
    setFeatures(DockWidgetClosable | DockWidgetMovable | DockWidgetFloatable);
    m_font = window->font();
    m_text = new QPlainTextEdit(this);
    m_text->setObjectName(QStringLiteral("TaskText"));
    m_text->setReadOnly(true);
    m_text->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
    m_text->setTabChangesFocus(true);
    describe(m_text, QStringLiteral("Task"),
             QStringLiteral("The exercise's task and questions, from the comments at the top of "
                            "the scenario file."));
    setWidget(m_text);
    setMinimumWidth(fontMetrics().averageCharWidth() * LeastCharacters);
    toggleViewAction()->setText(QStringLiteral("&Task panel"));
    toggleViewAction()->setObjectName(QStringLiteral("TaskPanelAction"));
    toggleViewAction()->setEnabled(false);
    window->addDockWidget(Qt::RightDockWidgetArea, this);
    hide();
    for (auto signal : {&QDockWidget::visibilityChanged, &QDockWidget::topLevelChanged})
        connect(this, signal, this, &TaskPanel::fitLater);
    connect(this, &QDockWidget::dockLocationChanged, this, &TaskPanel::fitLater);
}

void TaskPanel::showComments(QByteArrayView comments) {
    const QString text = taskText(comments);
    m_hasTask = !text.isEmpty();
    m_text->setPlainText(text);
    toggleViewAction()->setEnabled(m_hasTask);
    setVisible(m_hasTask);
    if (m_hasTask) raise();
}

QString TaskPanel::text() const {
    return m_text->toPlainText();
}

void TaskPanel::setZoom(double zoom) {
    setFont(LayoutZoom::scaled(m_font, zoom));
}

void TaskPanel::changeEvent(QEvent *event) {
    QDockWidget::changeEvent(event);
    if (event->type() == QEvent::FontChange)
        setMinimumWidth(fontMetrics().averageCharWidth() * LeastCharacters);
}

void TaskPanel::resizeEvent(QResizeEvent *event) {
    QDockWidget::resizeEvent(event);
    // Widened by hand beside the client area, it widens the window.
    if (!isFloating()) fitLater();
}

void TaskPanel::fitLater() {
    if (m_fitPending) return;
    m_fitPending = true;
    QTimer::singleShot(0, this, [this] {
        m_fitPending = false;
        if (m_fitWindow)
            m_fitWindow();
        else
            fitLaidOutWindow();
    });
}

void TaskPanel::fitLaidOutWindow() {
    fitWindowBesidePane(this, m_widened);
}

void fitWindowBesidePane(QDockWidget *pane, bool &widened) {
    auto *window = qobject_cast<QMainWindow *>(pane->parentWidget());
    const QWidget *client = window ? window->centralWidget() : nullptr;
    if (!client || !window->isVisible() || !window->layout()) return;
    // A pane hides before its window's layout hears of it.
    window->layout()->invalidate();
    window->layout()->activate();
    const int spare = client->width() - client->sizeHint().width();
    const bool beside = pane->isVisible() && !pane->isFloating();
    if (beside && spare < 0) {
        window->resize(window->width() - spare, window->height());
        widened = true;
    } else if (!beside && widened) {
        if (spare > 0) window->resize(window->width() - spare, window->height());
        widened = false;
    }
}
