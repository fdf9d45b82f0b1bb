// A list of "key=value" lines shown as two columns, the values editable in
// place: the key/value lists of the editor's panels. A value the user edits
// and confirms raises lineValidated; values written by code do not.
#pragma once

#include <string>
#include <utility>
#include <vector>

#include <QStringList>
#include <QTableWidget>

namespace pellam {

class KeyValueList : public QTableWidget {
    Q_OBJECT

public:
    explicit KeyValueList(QWidget* parent = nullptr);

    void clearLines();
    // key ends with "=" ("1=", "3D_Structure_2="); the key column shows it without.
    void addLine(const QString& key, const QString& value);
    int lineCount() const { return rowCount(); }
    QString key(int row) const;
    QString valueText(int row) const;
    // As a user would: the value is confirmed and lineValidated is raised.
    void setValueText(int row, const QString& value);
    // Each line as key followed by value text: "1= 5".
    QStringList lines() const;

    // The lines as (key, value) texts, as the core reads and writes them.
    using Lines = std::vector<std::pair<std::string, std::string>>;
    Lines keyValueLines() const;
    void showLines(const Lines& lines);

signals:
    void lineValidated(int row);

private:
    bool m_writing = false;
};

} // namespace pellam
