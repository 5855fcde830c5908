#pragma once

#include "bus/BusModel.h"
#include "resources/StringTable.h"

#include <QByteArray>
#include <QString>
#include <QTimer>
#include <QWidget>

#include <functional>
#include <vector>

class QCheckBox;
class QComboBox;
class QLabel;
class QListWidget;
class QTableWidget;
class RegisterPlot;

// A window beside the main frame that shows the bus model live: the 64 node
// IDs (present ones marked, optionally only those), the chosen node's 16- and
// 32-bit registers with their last change, a plot of the ticked registers and
// an export of every register change as CSV.
//
// It only reads the model, and only from its refresh timer: however fast
// packets arrive, the window redraws at most ten times a second, and not at
// all while it is hidden or nothing moved.
class BusViewWindow : public QWidget {
    Q_OBJECT
public:
    static constexpr int kRefreshMs = 100;
    static constexpr int kFlashMs = 700;
    static constexpr int kNoticeMs = 1000;
    static constexpr int kRegisterRows = 32;  // 16 16-bit, then 16 32-bit
    enum Column { kRegisterColumn, kHexColumn, kDecimalColumn, kChangedColumn, kPlotColumn, kColumns };

    // What the profile keeps of the window.
    struct State {
        QByteArray geometry;
        QString plots;
        int minutes = 1;
    };

    BusViewWindow(BusModel& model, const StringTable& strings, QWidget* parent = nullptr);

    void Restore(const State& state);
    State Saved() const;
    // Told whenever something the profile keeps may have changed.
    void SetStateChanged(std::function<void()> changed) { m_stateChanged = std::move(changed); }

    // Brings every part up to date with the model now (the timer does this by itself).
    void Refresh();

    void ChooseNode(int node);
    int ChosenNode() const { return m_node; }
    // Writes the CSV, reporting the outcome in the window (and a failure in a message box).
    bool ExportCsv(const QString& path);

    QListWidget* NodeList() const { return m_nodes; }
    QTableWidget* Registers() const { return m_registers; }
    QCheckBox* PresentOnly() const { return m_presentOnly; }
    QComboBox* PlotWindow() const { return m_window; }
    QLabel* Notice() const { return m_notice; }
    RegisterPlot* Plot() const { return m_plot; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;

private:
    QString String(int id) const;
    QString NodeName(int node) const;
    void BuildRegisterTable();
    void RefreshNodes();
    void RefreshRegisters();
    void OnRegisterItemChanged(int row, int column);
    void OnExport();
    void ShowLogNotice();
    RegisterKey KeyOfRow(int row) const;
    QString SeriesLabel(const RegisterKey& key, const PlotSeries& series) const;
    void NotifyStateChanged();

    BusModel& m_model;
    const StringTable& m_strings;
    QListWidget* m_nodes = nullptr;
    QCheckBox* m_presentOnly = nullptr;
    QTableWidget* m_registers = nullptr;
    QComboBox* m_window = nullptr;
    QLabel* m_notice = nullptr;
    RegisterPlot* m_plot = nullptr;
    QTimer m_refresh;
    int m_node = -1;
    uint64_t m_shownGeneration = ~uint64_t{0};
    bool m_flashing = false;
    int64_t m_noticeShownMs = 0;
    bool m_updatingTable = false;
    std::function<void()> m_stateChanged;
};
