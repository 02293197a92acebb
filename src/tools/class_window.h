#pragma once
// "Prehľad triedy": the test scores of a class folder, learners × tests, last
// and best score, sortable; a chart of the average last score per test; the
// table as CSV. The folder is read in the background with a progress bar.
#include "tools/class_report.h"

#include <QDialog>

#include <atomic>
#include <memory>

class QLabel;
class QProgressBar;
class QPushButton;
class QTableWidget;
class QThread;

class QChartView;

namespace orbino {

class AppState;

class TOknoTrieda : public QDialog {
    Q_OBJECT
public:
    TOknoTrieda(AppState& st, const QString& classFolder, QWidget* parent = nullptr);
    ~TOknoTrieda() override;

    // Starts reading the folder in the background.
    void start();
    // Waits until the background reading is done (for tests).
    void waitUntilFilled();
    bool filled() const { return m_filled; }
    const ClassReport& report() const { return m_report; }

    QTableWidget* table = nullptr;
    QProgressBar* progress = nullptr;
    QLabel* note = nullptr;
    QLabel* heading = nullptr;
    QPushButton* exportButton = nullptr;
    QPushButton* closeButton = nullptr;
    QChartView* chart = nullptr;

    void ExportCsvClick();

private:
    void fill(const ClassReport& r);
    void stopWorker();
    AppState& st;
    QString m_folder;
    ClassReport m_report;
    bool m_filled = false;
    QThread* m_worker = nullptr;
    std::shared_ptr<std::atomic<bool>> m_cancel = std::make_shared<std::atomic<bool>>(false);
};

} // namespace orbino
