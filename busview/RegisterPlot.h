#pragma once

#include "bus/BusModel.h"

#include <QString>
#include <QWidget>

#include <functional>

// Plots the model's series over the last few minutes, newest at the right
// edge, each in a lane of its own scale, with a legend naming each register and how many of its oldest points
// were dropped. However many points a series holds, each pixel column draws
// one vertical stroke from its lowest to its highest value, so a repaint costs
// the width of the widget, not the length of the series.
class RegisterPlot : public QWidget {
    Q_OBJECT
public:
    using Label = std::function<QString(const RegisterKey& key, const PlotSeries& series)>;

    RegisterPlot(const BusModel& model, Label label, QString emptyText, QWidget* parent = nullptr);

    void SetWindowMinutes(int minutes);
    int WindowMinutes() const { return m_minutes; }

    QSize sizeHint() const override { return {480, 220}; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    const BusModel& m_model;
    Label m_label;
    QString m_emptyText;
    int m_minutes = 1;
};
