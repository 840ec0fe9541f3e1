// A progress gauge: a bar that fills the share of its length that Progress
// has gone from MinValue towards MaxValue. The program uses the horizontal bar
// without text and without border; the vertical bar, the per-cent text and the
// single border come along for the asking. Pie and needle gauges are not made.
#pragma once

#include <QColor>
#include <QWidget>

namespace qv {

enum TGaugeKind { gkHorizontalBar, gkVerticalBar };
enum TGaugeBorderStyle { bsNone, bsSingle };

class TGauge : public QWidget {
    Q_OBJECT
public:
    explicit TGauge(QWidget *parent = nullptr);

    TGaugeKind Kind() const { return m_kind; }
    void setKind(TGaugeKind kind);
    bool ShowText() const { return m_showText; }
    void setShowText(bool on);
    TGaugeBorderStyle BorderStyle() const { return m_border; }
    void setBorderStyle(TGaugeBorderStyle style);
    QColor ForeColor() const { return m_fore; }
    void setForeColor(const QColor &color);
    QColor BackColor() const { return m_back; }
    void setBackColor(const QColor &color);

    int MinValue() const { return m_min; }
    void setMinValue(int value);   // never above MaxValue; Progress follows
    int MaxValue() const { return m_max; }
    void setMaxValue(int value);   // never below MinValue; Progress follows
    int Progress() const { return m_progress; }
    void setProgress(int value);   // kept inside MinValue..MaxValue

    // (Progress - MinValue) * 100 / (MaxValue - MinValue), 0 when the range is empty.
    int PercentDone() const;

protected:
    void paintEvent(QPaintEvent *event) override;

private:
    void setRange(int min, int max);

    TGaugeKind m_kind = gkHorizontalBar;
    bool m_showText = true;
    TGaugeBorderStyle m_border = bsSingle;
    QColor m_fore = Qt::black;
    QColor m_back = Qt::white;
    int m_min = 0;
    int m_max = 100;
    int m_progress = 0;
};

} // namespace qv
