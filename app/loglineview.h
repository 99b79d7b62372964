#pragma once

#include <QListView>

class LogLines;

// The processing log: read-only lines, plain or rich, painted only while in
// sight; select and copy give their plain text, a line each.
class LogLineView final : public QListView
{
    Q_OBJECT

public:
    explicit LogLineView(QWidget* parent = nullptr);

    LogLines* lines() const { return m_lines; }
    // Every line's plain text, a line each.
    QString toPlainText() const;

signals:
    // A "LINE n" message line was clicked or Enter pressed on it: n counts the
    // export's rows, and is row n of the log table.
    void messageLineChosen(int line);

protected:
    void keyPressEvent(QKeyEvent* event) override;

private:
    LogLines* m_lines;
};
