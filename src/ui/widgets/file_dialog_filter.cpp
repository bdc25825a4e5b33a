#include "ui/widgets/file_dialog_filter.h"

namespace tw {

QStringList TFileDialogFilter::NameFilters() const { return QtNameFilters(filter_); }

QStringList QtNameFilters(const QString& windows_filter) {
    QStringList result;
    const QStringList parts = windows_filter.split(QLatin1Char('|'));
    for (qsizetype i = 0; i + 1 < parts.size(); i += 2) {
        QStringList patterns;
        for (const QString& pattern : parts[i + 1].split(QLatin1Char(';'))) {
            const QString trimmed = pattern.trimmed();
            if (trimmed.isEmpty()) continue;
            // "*.*" means every file to the dialogs the filters were written for; here it would
            // leave out names without a dot.
            patterns.push_back(trimmed == QLatin1String("*.*") ? QStringLiteral("*") : trimmed);
        }
        if (patterns.isEmpty()) continue;
        QString description = parts[i].trimmed();
        // Qt reads the patterns from the last "(…)" and splits them at blanks only, so the
        // description's "(*.a;*.b)" must not reach it.
        const qsizetype open = description.lastIndexOf(QLatin1Char('('));
        if (description.endsWith(QLatin1Char(')')) && open >= 0)
            description = description.left(open).trimmed();
        const QString joined = patterns.join(QLatin1Char(' '));
        if (description.isEmpty()) description = joined;
        result.push_back(description + QStringLiteral(" (") + joined + QLatin1Char(')'));
    }
    return result;
}

}  // namespace tw
