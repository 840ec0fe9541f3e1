// A print target that records what a printout draws: every line with its pen
// colour and every text with its baseline position, page by page, on a page
// of a given size, resolution and unprintable border; and a table to print.
#pragma once

#include "dialogs/DialogSeam.h"
#include "history/CellTable.h"
#include "history/HistoryColumns.h"
#include "print/QVPrint.h"

#include <QColor>
#include <QLineF>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>

#include <gtest/gtest.h>

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

struct DrawnLine {
    int page;
    QLineF line;
    QColor color;
};
struct DrawnText {
    int page;
    QPointF at;
    QString text;
};

class RecordingEngine : public QPaintEngine {
public:
    RecordingEngine() : QPaintEngine(QPaintEngine::AllFeatures) {}
    bool begin(QPaintDevice *) override
    {
        color = Qt::black;   // a painter begins with a black pen
        return true;
    }
    bool end() override { return true; }
    Type type() const override { return QPaintEngine::User; }
    void updateState(const QPaintEngineState &state) override
    {
        if (state.state() & QPaintEngine::DirtyPen)
            color = state.pen().color();
    }
    // Integer lines come here too, through the engine's default.
    void drawLines(const QLineF *lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            this->lines.push_back({page, lines[i], color});
    }
    void drawTextItem(const QPointF &at, const QTextItem &item) override { texts.push_back({page, at, item.text()}); }
    void drawPixmap(const QRectF &, const QPixmap &, const QRectF &) override {}
    void drawPolygon(const QPointF *, int, PolygonDrawMode) override {}

    int page = 1;
    QColor color;
    std::vector<DrawnLine> lines;
    std::vector<DrawnText> texts;
};

class RecordingDevice : public QPaintDevice {
public:
    QPaintEngine *paintEngine() const override { return &engine; }
    int metric(PaintDeviceMetric m) const override
    {
        switch (m) {
        case PdmWidth: return landscape ? height : width;
        case PdmHeight: return landscape ? width : height;
        case PdmWidthMM: return int(metric(PdmWidth) * 25.4 / dpi);
        case PdmHeightMM: return int(metric(PdmHeight) * 25.4 / dpi);
        case PdmDpiX: case PdmDpiY: case PdmPhysicalDpiX: case PdmPhysicalDpiY: return dpi;
        case PdmDepth: return 32;
        case PdmNumColors: return INT_MAX;
        case PdmDevicePixelRatio: return 1;
        case PdmDevicePixelRatioScaled: return int(devicePixelRatioFScale());
        default: return 0;
        }
    }
    mutable RecordingEngine engine;
    int width = 12000, height = 16000, dpi = 600;   // printable area, portrait
    bool landscape = false;
};

class RecordingTarget : public qv::PrintTarget {
public:
    QPaintDevice *device() override { return &dev; }
    bool landscape() const override { return dev.landscape; }
    void setLandscape(bool on) override
    {
        dev.landscape = on;
        orientations.push_back(on);
    }
    qv::PaperBorders portraitBorders() const override { return borders; }
    QPainter *begin(const QString &title) override
    {
        jobTitle = title;
        landscapeDuringJob = dev.landscape;
        return painter.begin(&dev) ? &painter : nullptr;
    }
    bool newPage() override
    {
        ++dev.engine.page;
        return true;
    }
    void setPageTitle(const QString &title) override { pageTitles.push_back(title); }
    bool end() override
    {
        ended = true;
        return painter.end();
    }
    void abort() override
    {
        aborted = true;
        painter.end();
    }

    const std::vector<DrawnLine> &lines() const { return dev.engine.lines; }
    const std::vector<DrawnText> &texts() const { return dev.engine.texts; }
    int pages() const { return dev.engine.page; }

    RecordingDevice dev;
    QPainter painter;
    qv::PaperBorders borders;
    QString jobTitle;
    std::vector<QString> pageTitles;
    std::vector<bool> orientations;
    bool landscapeDuringJob = false, ended = false, aborted = false;
};

inline const qv::TextWidths &Widths()
{
    static const qv::TextWidths widths = qv::TextWidths::fixed(1);
    return widths;
}

// A table of `rows` captured-looking rows: label, date, time, comment, value,
// a count and a mean in the statistics group, the probe, an identifier.
inline std::unique_ptr<qv::CellTable> Table(int rows, const std::string &comment = "lamp")
{
    auto t = std::make_unique<qv::CellTable>(qv::hc::HistoryColumns, Widths());
    t->setRowCount(rows);
    for (int r = 0; r < rows; ++r) {
        const std::string label = std::to_string(r + 1);
        t->setRowBytes(r, label + "\t07-12-2026\t10:15:30\t" + comment + "\t1.235e3\t\t\t\t\t" +
                              std::to_string(12 + r) + "\t480.1\t\t\t\t\tZ.K-700\tx" + std::to_string(r), false);
    }
    return t;
}

// The progress a printout reports: the highest page and line against the
// estimate it started with; cancels after `rows` rows when that is set.
struct ProgressProbe : qv::PrintProgress {
    explicit ProgressProbe(int rows = -1) : left(rows) {}
    int left, pages = 0, maxPage = 0, lines = 0, maxLine = 0;
    void start(int p, int l) override { pages = p, lines = l; }
    void setPage(int p) override { maxPage = std::max(maxPage, p); }
    void setLine(int l) override { maxLine = std::max(maxLine, l); }
    bool cancelled() override { return left >= 0 && --left < 0; }
    void finish() override {}
};

// Fails a test that asks a question it did not expect (instead of waiting
// for a window nobody answers). Install it for the whole test program.
class UnexpectedDialogs : public qv::DialogHandler {
public:
    qv::DialogAnswer ask(const qv::DialogRequest &request) override
    {
        ADD_FAILURE() << "unexpected question: " << request.text.toStdString();
        return qv::DialogAnswer(qv::BtnCodeCancel);
    }
};
