#pragma once

#include "filechooser.h"
#include "modalrunner.h"
#include "networksession.h"

#include <functional>
#include <QFont>
#include <QMainWindow>
#include <QTimer>
#include <utility>
#include <vector>

class EquivalentPlotWidget;
class OneLineDiagram;
class QAction;
class QChart;
class QChartView;
class QComboBox;
class QDockWidget;
class QLabel;
class QLineSeries;
class QPushButton;
class QSlider;
class QSortFilterProxyModel;
class QSpinBox;
class QStackedWidget;
class QStandardItemModel;
class QTableView;
class QValueAxis;
class ViewZoom;

// Dravex's window for a network of several machines: the one-line diagram, where a click
// on a bus or a line puts the fault; every machine's angle against the centre of inertia
// and its speed as the run goes; the equivalent machine's power-angle plot along the
// run; the read-outs; the clearing time; the simulation's critical clearing time and the
// screening of every line. The session holds the network and the runs; the window shows
// what it announces. Controls are found by their object names.
class NetworkWindow : public QMainWindow {
    Q_OBJECT
public:
    explicit NetworkWindow(QWidget *parent = nullptr);
    ~NetworkWindow() override;

    NetworkSession &session() { return *m_session; }
    ViewZoom *viewZoom() const { return m_viewZoom; }
    FileChooser &files() { return m_files; }
    // How modal dialogs and message boxes are shown; tests answer them here.
    ModalRunner modalRunner;

    // Opens a network file or a MATPOWER case in this window; a file refused is reported
    // in a message box naming its line, and nothing changes.
    bool openFile(const QString &path);

    // The screening's table as sorted on the screen.
    QTableView *screeningTable() const { return m_table; }
    QChart *angleChart() const { return m_angleChart; }

    static QString caption() { return QStringLiteral("Network stability"); }

    // A read-out: its caption and its value.
    struct Readout {
        QLabel *caption;
        QLabel *value;
    };

protected:
    void closeEvent(QCloseEvent *event) override;

private:
    void createMenu();
    void createControls();
    void createCharts();
    void createScreening();
    void connectSession();

    void showGrid();
    void showFault();
    void showTitle();
    void showProblem();
    void beginRun();
    void showRun(bool all);
    void showReadouts();
    void showSimulation();
    void showScreening();
    void showSpeed(RunSpeed speed);
    void showEquivalent();
    void runOrStop();
    void chooseFault(int index);
    void openAsked(bool matpower);
    void saveAs();
    void editMachines();
    void screenLines();
    void applyZoom();

    NetworkSession *m_session = nullptr; // a child, so that it outlives no window
    FileChooser m_files;
    ViewZoom *m_viewZoom = nullptr;
    double m_zoom = 1.0;
    QSize m_sizeAt100;
    // Each font that does not follow the window's (the charts'), at 100 %, and its setter.
    std::vector<std::pair<QFont, std::function<void(const QFont &)>>> m_fonts;
    QTimer m_searchSoon; // the simulation's search, once the clearing time rests

    OneLineDiagram *m_diagram = nullptr;
    QStackedWidget *m_equivalentPlace = nullptr;
    EquivalentPlotWidget *m_equivalent = nullptr;
    QLabel *m_noEquivalent = nullptr;
    QLabel *m_problem = nullptr;
    QPushButton *m_run = nullptr;
    QComboBox *m_faultPlace = nullptr;
    QSpinBox *m_clearing = nullptr;
    QSlider *m_clearingSlider = nullptr;
    Readout m_time{}, m_clearingShown{}, m_angleSpread{}, m_criticalAngle{}, m_equivalentTime{},
        m_simulationTime{}, m_cluster{};

    QChart *m_angleChart = nullptr;
    QChart *m_speedChart = nullptr;
    QValueAxis *m_angleTime = nullptr;
    QValueAxis *m_angleAxis = nullptr;
    QValueAxis *m_speedTime = nullptr;
    QValueAxis *m_speedAxis = nullptr;
    std::vector<QLineSeries *> m_angleSeries, m_speedSeries;
    std::size_t m_shownStates = 0;
    double m_lastShownTime = -1;

    QDockWidget *m_screeningDock = nullptr;
    QLabel *m_screeningStatus = nullptr;
    QStandardItemModel *m_rows = nullptr;
    QSortFilterProxyModel *m_sorted = nullptr;
    QTableView *m_table = nullptr;

    QAction *m_realTime = nullptr;
    QAction *m_slowMotion = nullptr;
    QAction *m_fast = nullptr;
    QAction *m_findCritical = nullptr;
    QAction *m_screenLines = nullptr;
    QAction *m_machineData = nullptr;
    QAction *m_saveAs = nullptr;
};
