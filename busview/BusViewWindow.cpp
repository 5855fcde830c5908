#include "busview/BusViewWindow.h"

#include "bus/CsvExport.h"
#include "bus/PlotChoice.h"
#include "busview/RegisterPlot.h"
#include "resources/CommandIds.h"
#include "xrate/MessageBox.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDateTime>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kWindowMinutes[] = {1, 10, 60};

QString Hex(uint32_t value, int digits)
{
    return QStringLiteral("0x") + QStringLiteral("%1").arg(value, digits, 16, QLatin1Char('0')).toUpper();
}

QString RegisterName(bool wide, int reg)
{
    return QStringLiteral("reg%1 %2").arg(wide ? 32 : 16).arg(reg);
}

} // namespace

BusViewWindow::BusViewWindow(BusModel& model, const StringTable& strings, QWidget* parent)
    : QWidget(parent, Qt::Window), m_model(model), m_strings(strings)
{
    setObjectName(QStringLiteral("BusViewWindow"));
    // Closing the main frame ends the program even while this window is open.
    setAttribute(Qt::WA_QuitOnClose, false);
    setWindowTitle(String(IDS_BUS_TITLE));

    m_presentOnly = new QCheckBox(String(IDS_BUS_PRESENT_ONLY));
    m_presentOnly->setChecked(true);
    m_nodes = new QListWidget;
    for (int node = 0; node < 64; ++node)
        m_nodes->addItem(NodeName(node));
    auto* left = new QWidget;
    auto* leftLayout = new QVBoxLayout(left);
    leftLayout->setContentsMargins(0, 0, 0, 0);
    leftLayout->addWidget(m_presentOnly);
    leftLayout->addWidget(m_nodes);

    BuildRegisterTable();
    m_plot = new RegisterPlot(
        m_model, [this](const RegisterKey& key, const PlotSeries& series) { return SeriesLabel(key, series); },
        String(IDS_BUS_NO_PLOT));
    m_window = new QComboBox;
    for (const int minutes : kWindowMinutes)
        m_window->addItem(String(IDS_BUS_MINUTES).arg(minutes), minutes);
    auto* exportButton = new QPushButton(String(IDS_BUS_EXPORT));
    m_notice = new QLabel;
    m_notice->setWordWrap(true);

    auto* controls = new QHBoxLayout;
    controls->addWidget(new QLabel(String(IDS_BUS_PLOT_WINDOW)));
    controls->addWidget(m_window);
    controls->addStretch(1);
    controls->addWidget(exportButton);
    auto* plotPane = new QWidget;
    auto* plotLayout = new QVBoxLayout(plotPane);
    plotLayout->setContentsMargins(0, 0, 0, 0);
    plotLayout->addLayout(controls);
    plotLayout->addWidget(m_plot, 1);
    plotLayout->addWidget(m_notice);

    auto* right = new QSplitter(Qt::Vertical);
    right->addWidget(m_registers);
    right->addWidget(plotPane);
    auto* split = new QSplitter(Qt::Horizontal);
    split->addWidget(left);
    split->addWidget(right);
    split->setStretchFactor(1, 1);
    split->setSizes({m_nodes->fontMetrics().horizontalAdvance(NodeName(63)) + 60, 600});
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(split);

    connect(m_presentOnly, &QCheckBox::toggled, this, [this] { RefreshNodes(); });
    connect(m_nodes, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0 && row != m_node) {
            m_node = row;
            RefreshRegisters();
        }
    });
    connect(m_registers, &QTableWidget::cellChanged, this, &BusViewWindow::OnRegisterItemChanged);
    connect(m_window, &QComboBox::currentIndexChanged, this, [this](int index) {
        m_plot->SetWindowMinutes(m_window->itemData(index).toInt());
        NotifyStateChanged();
    });
    connect(exportButton, &QPushButton::clicked, this, &BusViewWindow::OnExport);
    connect(&m_refresh, &QTimer::timeout, this, [this] {
        if (m_model.Generation() != m_shownGeneration || m_flashing)
            Refresh();
        else if (!m_model.Series().empty())
            m_plot->update();  // the time axis follows the clock
    });
    m_refresh.setInterval(kRefreshMs);
    Refresh();
}

QString BusViewWindow::NodeName(int node) const
{
    return String(IDS_BUS_NODE).arg(node).arg(QStringLiteral("%1").arg(node, 2, 16, QLatin1Char('0')).toUpper());
}

QString BusViewWindow::String(int id) const
{
    const char* text = m_strings.Find(id);
    return QString::fromUtf8(text ? text : "");
}

void BusViewWindow::BuildRegisterTable()
{
    m_registers = new QTableWidget(kRegisterRows, kColumns);
    m_registers->setHorizontalHeaderLabels(String(IDS_BUS_COLUMNS).split(QLatin1Char('\t')));
    m_registers->verticalHeader()->setVisible(false);
    m_registers->verticalHeader()->setDefaultSectionSize(m_registers->fontMetrics().height() + 4);
    m_registers->setEditTriggers(QAbstractItemView::NoEditTriggers);
    m_registers->setSelectionMode(QAbstractItemView::NoSelection);
    for (int row = 0; row < kRegisterRows; ++row) {
        for (int column = 0; column < kColumns; ++column) {
            auto* item = new QTableWidgetItem;
            item->setTextAlignment(column == kRegisterColumn ? Qt::AlignLeft | Qt::AlignVCenter
                                                             : Qt::AlignRight | Qt::AlignVCenter);
            if (column == kPlotColumn) {
                item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsUserCheckable);
                item->setCheckState(Qt::Unchecked);
            }
            m_registers->setItem(row, column, item);
        }
        const RegisterKey key = KeyOfRow(row);
        m_registers->item(row, kRegisterColumn)->setText(RegisterName(key.wide, key.reg));
    }
    // Wide enough for the widest value each column can show.
    const QFontMetrics metrics = m_registers->fontMetrics();
    const QString widest[] = {QStringLiteral("reg32 15"), QStringLiteral("0x00000000"),
                              QStringLiteral("4294967295"), QStringLiteral("00:00:00.000")};
    for (int column = kRegisterColumn; column <= kChangedColumn; ++column) {
        m_registers->resizeColumnToContents(column);
        m_registers->setColumnWidth(column, std::max(m_registers->columnWidth(column),
                                                     metrics.horizontalAdvance(widest[column]) + 16));
    }
    m_registers->horizontalHeader()->setStretchLastSection(true);
}

RegisterKey BusViewWindow::KeyOfRow(int row) const
{
    return {m_node < 0 ? 0 : m_node, row >= 16, row % 16};
}

void BusViewWindow::ChooseNode(int node)
{
    if (node >= 0 && node < 64)
        m_nodes->setCurrentRow(node);
}

void BusViewWindow::Refresh()
{
    m_shownGeneration = m_model.Generation();
    RefreshNodes();
    if (m_node < 0) {
        for (int node = 0; node < 64; ++node) {
            if (m_model.Present(node)) {
                ChooseNode(node);
                break;
            }
        }
    }
    RefreshRegisters();
    ShowLogNotice();
    m_plot->update();
}

void BusViewWindow::RefreshNodes()
{
    const bool presentOnly = m_presentOnly->isChecked();
    for (int node = 0; node < 64; ++node) {
        QListWidgetItem* item = m_nodes->item(node);
        const bool present = m_model.Present(node);
        QFont font = item->font();
        if (font.bold() != present) {
            font.setBold(present);
            item->setFont(font);
        }
        // Each setting repaints the list, so only what differs is set.
        const QColor mark = present ? QColor(0x2c, 0xa0, 0x2c) : QColor(Qt::transparent);
        if (item->data(Qt::DecorationRole).value<QColor>() != mark)
            item->setData(Qt::DecorationRole, mark);
        const bool hidden = presentOnly && !present && node != m_node;
        if (item->isHidden() != hidden)
            item->setHidden(hidden);
    }
}

void BusViewWindow::RefreshRegisters()
{
    m_updatingTable = true;
    const int64_t now = m_model.Now();
    const QBrush flash(palette().highlight().color().lighter(160));
    bool flashing = false;
    for (int row = 0; row < kRegisterRows; ++row) {
        const RegisterKey key = KeyOfRow(row);
        const RegisterState& state = m_model.State(key);
        const bool shown = m_node >= 0 && state.valid;
        const auto bits = static_cast<uint32_t>(state.value);
        const bool lit = shown && now - state.changedMs < kFlashMs;
        flashing = flashing || lit;
        const QString texts[] = {
            Hex(bits, key.wide ? 8 : 4),
            QString::number(bits),
            QDateTime::fromMSecsSinceEpoch(state.changedMs).toString(QStringLiteral("HH:mm:ss.zzz")),
        };
        for (int column = kHexColumn; column <= kChangedColumn; ++column) {
            QTableWidgetItem* item = m_registers->item(row, column);
            const QString text = shown ? texts[column - kHexColumn] : QStringLiteral("-");
            if (item->text() != text)
                item->setText(text);
            const QBrush background = lit ? flash : QBrush();
            if (item->background() != background)
                item->setBackground(background);
        }
        const Qt::CheckState plotted =
            m_node >= 0 && m_model.IsPlotted(key) ? Qt::Checked : Qt::Unchecked;
        QTableWidgetItem* plot = m_registers->item(row, kPlotColumn);
        if (plot->checkState() != plotted)
            plot->setCheckState(plotted);
        plot->setFlags(m_node >= 0 ? Qt::ItemIsEnabled | Qt::ItemIsUserCheckable : Qt::NoItemFlags);
    }
    m_flashing = flashing;
    m_updatingTable = false;
}

void BusViewWindow::OnRegisterItemChanged(int row, int column)
{
    if (m_updatingTable || column != kPlotColumn || m_node < 0)
        return;
    const RegisterKey key = KeyOfRow(row);
    const bool plotted = m_registers->item(row, column)->checkState() == Qt::Checked;
    if (plotted == m_model.IsPlotted(key))
        return;
    m_model.SetPlotted(key, plotted);
    m_plot->update();
    NotifyStateChanged();
}

QString BusViewWindow::SeriesLabel(const RegisterKey& key, const PlotSeries& series) const
{
    QString label = NodeName(key.node) + QLatin1Char(' ') + RegisterName(key.wide, key.reg);
    if (series.Dropped() > 0)
        label += QStringLiteral(" - ") + String(IDS_BUS_POINTS_DROPPED).arg(series.Dropped());
    return label;
}

void BusViewWindow::ShowLogNotice()
{
    // A new text lays the window out again: under a flood the count moves at
    // every refresh, so it is shown anew once a second at most.
    const int64_t now = m_model.Now();
    if (m_model.LogDropped() == 0 || now - m_noticeShownMs < kNoticeMs)
        return;
    m_noticeShownMs = now;
    m_notice->setText(String(IDS_BUS_LOG_DROPPED)
                          .arg(static_cast<qulonglong>(m_model.Log().size()))
                          .arg(static_cast<qulonglong>(m_model.LogDropped())));
}

void BusViewWindow::OnExport()
{
    const QString path = QFileDialog::getSaveFileName(this, String(IDS_BUS_EXPORT),
                                                      QStringLiteral("bus.csv"),
                                                      QStringLiteral("CSV (*.csv)"));
    if (!path.isEmpty())
        ExportCsv(path);
}

bool BusViewWindow::ExportCsv(const QString& path)
{
    std::string error;
    if (!WriteCsv(path.toLocal8Bit().toStdString(), m_model, error)) {
        ShowMessageBox(this, error.c_str(), "Tamsel", kMbOk | kMbIconExclamation);
        return false;
    }
    QString done = String(IDS_BUS_EXPORTED).arg(static_cast<qulonglong>(m_model.Log().size())).arg(path);
    if (m_model.LogDropped() > 0)
        done += QLatin1Char(' ') + String(IDS_BUS_LOG_DROPPED)
                                       .arg(static_cast<qulonglong>(m_model.Log().size()))
                                       .arg(static_cast<qulonglong>(m_model.LogDropped()));
    m_notice->setText(done);
    return true;
}

void BusViewWindow::Restore(const State& state)
{
    if (!state.geometry.isEmpty())
        restoreGeometry(state.geometry);
    for (const RegisterKey& key : ParsePlotChoice(state.plots.toStdString()))
        m_model.SetPlotted(key, true);
    for (int i = 0; i < m_window->count(); ++i) {
        if (m_window->itemData(i).toInt() == state.minutes)
            m_window->setCurrentIndex(i);
    }
    Refresh();
}

BusViewWindow::State BusViewWindow::Saved() const
{
    std::vector<RegisterKey> keys;
    for (const auto& entry : m_model.Series())
        keys.push_back(entry.first);
    return {saveGeometry(), QString::fromStdString(FormatPlotChoice(keys)), m_plot->WindowMinutes()};
}

void BusViewWindow::NotifyStateChanged()
{
    if (m_stateChanged)
        m_stateChanged();
}

void BusViewWindow::showEvent(QShowEvent* event)
{
    QWidget::showEvent(event);
    Refresh();
    m_refresh.start();
}

void BusViewWindow::hideEvent(QHideEvent* event)
{
    m_refresh.stop();
    NotifyStateChanged();
    QWidget::hideEvent(event);
}
