#include "report/print_report.h"

#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPagedPaintDevice>
#include <QPainter>
#include <algorithm>
#include <cmath>

#include "core/importexport/print_layout.h"
#include "core/text/clock.h"
#include "core/text/count_text.h"

namespace tw {
namespace {

// The fixed-pitch font whose character cell (ascent plus descent) is kPrintCellHeight tall.
QFont PrintFont(QPagedPaintDevice& device, double pixels_per_unit) {
    QFont font(QString::fromLatin1(kPrintFontFamily));
    font.setStyleHint(QFont::Monospace);
    font.setFixedPitch(true);
    constexpr int kProbe = 1000;
    font.setPixelSize(kProbe);
    const double cell_per_pixel = QFontMetricsF(font, &device).height() / kProbe;
    const double cell = kPrintCellHeight * pixels_per_unit;
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(cell / cell_per_pixel))));
    return font;
}

}  // namespace

bool PrintEntries(QPagedPaintDevice& device, const TTWEntries& entries,
                  const std::vector<int>& ids_in_display_order) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
    TFrozenNow one_moment;
    const double unit_x = device.logicalDpiX() / 254.0;
    const double unit_y = device.logicalDpiY() / 254.0;
    const QFont regular = PrintFont(device, unit_y);
    QFont heading = regular;
    heading.setBold(true);
    heading.setUnderline(true);
    const QFontMetricsF metrics(regular, &device);
    const int line_height = std::max(1, static_cast<int>(std::lround(metrics.height() / unit_y)));

    QPainter painter;
    if (!painter.begin(&device)) return false;
    painter.setPen(Qt::black);
    const TPrintLayout layout = LayoutPrint(ReportRows(entries, ids_in_display_order), Today(), VersionText(),
                                            device.heightMM() * 10, line_height);
    for (size_t page = 0; page < layout.Pages.size(); ++page) {
        if (page > 0 && !device.newPage()) {
            painter.end();
            return false;
        }
        for (const TPrintLine& line : layout.Pages[page].Lines) {
            if (line.Text.empty()) continue;
            painter.setFont(line.Heading ? heading : regular);
            painter.drawText(QPointF(kPrintLeft * unit_x, line.Top * unit_y + metrics.ascent()),
                             QString::fromStdString(line.Text));
        }
    }
    return painter.end();
}

}  // namespace tw
