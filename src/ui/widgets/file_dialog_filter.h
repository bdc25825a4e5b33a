#pragma once

#include <QObject>
#include <QString>
#include <QStringList>
#include <utility>

namespace tw {

/// What a window's open or save dialog offers, kept on the window so that the language file can
/// translate the file-type filter; the window builds its QFileDialog from it when it opens one.
class TFileDialogFilter : public QObject {
    Q_OBJECT
  public:
    explicit TFileDialogFilter(QObject* parent = nullptr, QString filter = QString())
        : QObject(parent), filter_(std::move(filter)) {}

    /// The filter in the language file's form: "Text (*.a;*.b)|*.a;*.b|All files (*.*)|*.*".
    const QString& Filter() const { return filter_; }
    void SetFilter(const QString& filter) { filter_ = filter; }
    /// The filter as QFileDialog::setNameFilters wants it.
    QStringList NameFilters() const;

  private:
    QString filter_;
};

/// Turns a filter of description and pattern pairs separated by "|" (patterns separated by ";")
/// into Qt name filters "Description (*.a *.b)". A description's own "(…)" is replaced by the
/// patterns actually used, "*.*" (every file) becomes "*", an empty description shows the
/// patterns, and a description without patterns is dropped.
QStringList QtNameFilters(const QString& windows_filter);

}  // namespace tw
