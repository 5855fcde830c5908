#include "busview/RegisterPlot.h"

#include <QDateTime>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <limits>
#include <vector>

namespace {

constexpr int kMargin = 6;
constexpr int kLegendSwatch = 12;

QColor SeriesColor(int index)
{
    static const QColor colors[] = {QColor(0x1f, 0x77, 0xb4), QColor(0xd6, 0x27, 0x28),
                                    QColor(0x2c, 0xa0, 0x2c), QColor(0xff, 0x7f, 0x0e),
                                    QColor(0x94, 0x67, 0xbd), QColor(0x8c, 0x56, 0x4b)};
    return colors[index % static_cast<int>(std::size(colors))];
}

QString TimeOfDay(int64_t wallMs)
{
    return QDateTime::fromMSecsSinceEpoch(wallMs).toString(QStringLiteral("HH:mm:ss"));
}

struct Range {
    int64_t low = std::numeric_limits<int64_t>::max();
    int64_t high = std::numeric_limits<int64_t>::min();
    int64_t last = 0;

    bool Empty() const { return low > high; }
    void Take(int64_t value)
    {
        low = std::min(low, value);
        high = std::max(high, value);
        last = value;
    }
};

} // namespace

RegisterPlot::RegisterPlot(const BusModel& model, Label label, QString emptyText, QWidget* parent)
    : QWidget(parent), m_model(model), m_label(std::move(label)), m_emptyText(std::move(emptyText))
{
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumHeight(120);
}

void RegisterPlot::SetWindowMinutes(int minutes)
{
    m_minutes = std::max(1, minutes);
    update();
}

void RegisterPlot::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), palette().base());
    painter.setPen(palette().text().color());
    const auto& all = m_model.Series();
    if (all.empty()) {
        painter.drawText(rect(), Qt::AlignCenter | Qt::TextWordWrap, m_emptyText);
        return;
    }

    const QFontMetrics metrics = fontMetrics();
    const int line = metrics.height();
    const int64_t end = m_model.Now();
    const int64_t start = end - int64_t{m_minutes} * 60000;

    // Legend, one row per series.
    int y = kMargin;
    int index = 0;
    for (const auto& [key, series] : all) {
        painter.fillRect(kMargin, y + (line - kLegendSwatch) / 2, kLegendSwatch, kLegendSwatch,
                         SeriesColor(index++));
        painter.drawText(kMargin + kLegendSwatch + 4, y + metrics.ascent(), m_label(key, series));
        y += line;
    }

    // Each series gets a lane of its own with its own scale: registers of one
    // plot may differ by many orders of magnitude.
    std::vector<Range> scales;
    int labelWidth = 0;
    for (const auto& entry : all) {
        Range values;
        const auto& points = entry.second.Points();
        // The point before the window carries the value into it.
        std::size_t from = entry.second.FirstFrom(start);
        from = from > 0 ? from - 1 : 0;
        for (std::size_t i = from; i < points.size(); ++i)
            values.Take(points[i].value);
        if (values.Empty())
            values = {0, 1};
        if (values.low == values.high) {
            values.low -= 1;
            values.high += 1;
        }
        labelWidth = std::max({labelWidth, metrics.horizontalAdvance(QString::number(values.high)),
                               metrics.horizontalAdvance(QString::number(values.low))});
        scales.push_back(values);
    }

    const int left = kMargin + labelWidth + 4;
    const QRect area(left, y + kMargin, width() - left - kMargin, height() - y - 2 * kMargin - line);
    const int lanes = static_cast<int>(all.size());
    if (area.width() < 10 || area.height() < 10 * lanes)
        return;
    painter.drawText(area.left(), area.bottom() + line, TimeOfDay(start));
    const QString endText = TimeOfDay(end);
    painter.drawText(area.right() - metrics.horizontalAdvance(endText), area.bottom() + line, endText);

    const int columns = area.width();
    const double msPerColumn = static_cast<double>(end - start) / columns;
    std::vector<Range> strokes(static_cast<std::size_t>(columns));
    index = 0;
    for (const auto& entry : all) {
        const Range& values = scales[static_cast<std::size_t>(index)];
        const int top = area.top() + area.height() * index / lanes;
        const int bottom = area.top() + area.height() * (index + 1) / lanes - 1;
        const QRect lane(area.left(), top, area.width(), bottom - top + 1);
        painter.setClipping(false);
        painter.setPen(palette().text().color());
        painter.drawRect(lane.adjusted(0, 0, -1, -1));
        painter.drawText(kMargin, lane.top() + metrics.ascent(), QString::number(values.high));
        painter.drawText(kMargin, lane.bottom(), QString::number(values.low));

        const double span = static_cast<double>(values.high - values.low);
        const auto yOf = [&](int64_t value) {
            return lane.bottom() - 1 - (static_cast<double>(value - values.low) / span) * (lane.height() - 3);
        };
        painter.setClipRect(lane);
        painter.setPen(QPen(SeriesColor(index++), 1));
        std::fill(strokes.begin(), strokes.end(), Range{});
        const auto& points = entry.second.Points();
        const std::size_t from = entry.second.FirstFrom(start);
        // A value holds until the next one: carry the last earlier value into the first column.
        if (from > 0)
            strokes[0].Take(points[from - 1].value);
        // Points come in time order: walk the columns along with them rather
        // than dividing for each of up to a hundred thousand points.
        std::size_t column = 0;
        int64_t columnEnd = start + static_cast<int64_t>(msPerColumn);
        for (auto point = points.begin() + static_cast<std::ptrdiff_t>(from); point != points.end(); ++point) {
            while (point->wallMs >= columnEnd && column + 1 < strokes.size()) {
                ++column;
                columnEnd = start + static_cast<int64_t>(msPerColumn * static_cast<double>(column + 1));
            }
            strokes[column].Take(point->value);
        }
        // A register keeps its value until the next reply: steps, not slopes.
        QPolygonF path;
        for (int column = 0; column < columns; ++column) {
            const Range& stroke = strokes[static_cast<std::size_t>(column)];
            if (stroke.Empty())
                continue;
            const double x = area.left() + column;
            if (!path.isEmpty())
                path << QPointF(x, path.back().y());
            path << QPointF(x, yOf(stroke.low)) << QPointF(x, yOf(stroke.high))
                 << QPointF(x, yOf(stroke.last));
        }
        if (!path.isEmpty()) {
            path << QPointF(area.right(), yOf(points.back().value));
            painter.drawPolyline(path);
        }
    }
}
