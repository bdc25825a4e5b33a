#include "report/pdf_report.h"

#include <QBuffer>
#include <QFile>
#include <QFont>
#include <QFontMetricsF>
#include <QGuiApplication>
#include <QPageLayout>
#include <QPainter>
#include <QPdfWriter>
#include <QSaveFile>
#include <algorithm>
#include <array>
#include <utility>

#include "report/pdf_info.h"

namespace tw {
namespace {

constexpr const char* kReportTitle = "Tagwacht - Export";
constexpr const char* kMaker = "Tagwacht";

// Positions in inches from the page's left edge.
constexpr double kTitleCentre = 4.0;
struct TTab {
    double Position;
    double Width;
};
constexpr std::array<TTab, kReportColumns> kTabs = {
    {{0.2, 2.5}, {2.6, 0.8}, {3.5, 1.7}, {5.3, 1.0}, {6.4, 1.3}, {7.8, 1.9}, {9.7, 2.1}}};
// The first line of a page starts below this; the text never reaches closer to the right edge
// than this either (the last tab would otherwise run 0.1 inch past an A4 landscape page).
constexpr double kTopMargin = 0.4;
constexpr double kRightMargin = 0.2;
// A cut text keeps this distance from the next tab: the first tab reaches 0.1 inch into the
// second and the sixth ends where the seventh starts, so full-width texts would run together.
constexpr double kTabGap = 0.1;

constexpr int kFirstLine = 3;
constexpr int kPageBreakLine = 51;

QString Q(const std::string& text) { return QString::fromStdString(text); }

// The report routine: draws the rows of the table it was given, as a line printer would,
// advancing line by line in the current font.
class TPdfExport {
  public:
    TPdfExport(const TPdfTabs& rows, QPainter& painter, QPdfWriter& writer)
        : rows_(rows), painter_(painter), writer_(writer), dpi_(writer.resolution()) {}

    bool DrawReport() {
        const TReportRow& headings = PdfHeadings();
        y_ = Inch(kTopMargin);
        SetFont(11);
        NewLine();
        SetFont(11, true, true);
        PrintCenter(Q(kReportTitle), Inch(kTitleCentre));
        SetFont(11);
        NewLine();
        NewLine();

        SetFont(9, false, true);
        PrintTabs(headings);
        SetFont(9);
        int line = kFirstLine;
        const std::vector<TPdfTab>& all = rows_.Rows();
        for (size_t i = 0; i < all.size(); ++i) {
            NewLine();
            ++line;
            PrintTabs(all[i]);
            // A full page after the last row gets no page of headings alone.
            if (line >= kPageBreakLine && i + 1 < all.size()) {
                if (!writer_.newPage()) return false;
                y_ = Inch(kTopMargin);
                SetFont(9, false, true);
                NewLine();
                PrintTabs(headings);
                SetFont(9);
                line = 1;
            }
        }
        return true;
    }

  private:
    double Inch(double inches) const { return inches * dpi_; }

    void SetFont(double points, bool bold = false, bool underline = false) {
        QFont font(QString::fromLatin1(kPdfFontFamily));
        font.setStyleHint(QFont::SansSerif);
        font.setPointSizeF(points);
        font.setBold(bold);
        font.setUnderline(underline);
        painter_.setFont(font);
        QFontMetricsF metrics(font, &writer_);
        // The line counts per page are fixed, so a substitute font with a taller line must not
        // push the last rows off the page.
        line_height_ = std::min(metrics.lineSpacing(), points * 1.2 / 72.0 * dpi_);
    }

    void NewLine() { y_ += line_height_; }

    void PrintCenter(const QString& text, double centre) {
        QFontMetricsF metrics(painter_.font(), &writer_);
        painter_.drawText(QPointF(centre - metrics.horizontalAdvance(text) / 2, y_), text);
    }

    void PrintTabs(const TPdfTab& texts) {
        QFontMetricsF metrics(painter_.font(), &writer_);
        const double page_right = writer_.width() - Inch(kRightMargin);
        for (int column = 0; column < kReportColumns; ++column) {
            const double left = Inch(kTabs[column].Position);
            double right = std::min(left + Inch(kTabs[column].Width), page_right);
            if (column + 1 < kReportColumns)
                right = std::min(right, Inch(kTabs[column + 1].Position - kTabGap));
            const double width = right - left;
            QString text = metrics.elidedText(Q(texts[column]), Qt::ElideRight, width);
            painter_.drawText(QPointF(left, y_), text);
        }
    }

    const TPdfTabs& rows_;
    QPainter& painter_;
    QPdfWriter& writer_;
    double dpi_;
    double y_ = 0;  // base line of the current line
    double line_height_ = 0;
};

// The report drawn into memory; empty on failure.
QByteArray DrawPdf(const TPdfTabs& rows) {
    QBuffer buffer;
    if (!buffer.open(QIODevice::WriteOnly)) return {};
    {
        QPdfWriter writer(&buffer);
        writer.setCreator(QString::fromLatin1(kMaker));
        writer.setTitle(QString());
        if (!writer.setPageOrientation(QPageLayout::Landscape)) return {};
        if (!writer.setPageMargins(QMarginsF(0, 0, 0, 0))) return {};
        QPainter painter;
        if (!painter.begin(&writer)) return {};
        bool drawn = TPdfExport(rows, painter, writer).DrawReport();
        if (!painter.end() || !drawn) return {};
    }
    return buffer.data();
}

bool FileHolds(const QString& file_name, const std::string& bytes) {
    QFile file(file_name);
    if (!file.open(QIODevice::ReadOnly)) return false;
    return file.size() == static_cast<qint64>(bytes.size()) && file.read(5) == "%PDF-";
}

}  // namespace

void TPdfTabs::AddRow(std::string name, std::string date, std::string age, std::string next,
                      std::string event, std::string email, std::string remark) {
    rows_.push_back({std::move(name), std::move(date), std::move(age), std::move(next), std::move(event),
                     std::move(email), std::move(remark)});
}

bool EnsureGuiApplication() {
    if (QCoreApplication::instance())
        return qobject_cast<QGuiApplication*>(QCoreApplication::instance()) != nullptr;
    // QGuiApplication keeps argc and argv for its whole life.
    static int argc = 3;
    static char program[] = "tagwacht";
    static char platform_option[] = "-platform";
    static char platform[] = "offscreen";
    static char* argv[] = {program, platform_option, platform, nullptr};
    static QGuiApplication* application = new QGuiApplication(argc, argv);
    return application != nullptr;
}

bool RenderPdfReport(const std::string& file_name, const TPdfTabs& rows) {
    if (!qobject_cast<QGuiApplication*>(QCoreApplication::instance())) return false;
    QByteArray drawn = DrawPdf(rows);
    if (drawn.isEmpty()) return false;
    std::string pdf = drawn.toStdString();
    const TPdfInfo info{"", kMaker, kReportTitle, kMaker, kMaker};
    if (!ReplacePdfInfo(pdf, info)) return false;

    // QSaveFile replaces an existing file only after everything was written, so a full disk
    // never leaves the user with half a document in place of the old one.
    const QString name = QString::fromStdString(file_name);
    QSaveFile file(name);
    if (!file.open(QIODevice::WriteOnly)) return false;
    if (file.write(pdf.data(), static_cast<qint64>(pdf.size())) != static_cast<qint64>(pdf.size())) {
        file.cancelWriting();
        return false;
    }
    if (!file.commit()) return false;
    return FileHolds(name, pdf);
}

bool ExportPDF(TCoreSession& session, const std::string& file_name,
               const std::vector<int>& ids_in_display_order) {
    const std::string target = WithPdfExtension(file_name);
    PdfHeadings();
    TPdfTabs rows;
    for (TReportRow& row : ReportRows(session.Entries, ids_in_display_order)) rows.AddRow(std::move(row));
    return RenderPdfReport(target, rows);
}

}  // namespace tw
