#pragma once

#include <QDialog>

class QLabel;
class QPlainTextEdit;

// "Check an upload file...": an upload file of any of the four layouts,
// whoever wrote it, checked as the bank reads it, with the lines
// kova-export verify prints. The check runs off the window's thread: a file
// of a million records takes a moment.
class UploadCheckDialog final : public QDialog
{
    Q_OBJECT

public:
    UploadCheckDialog(const QString& uploadPath, const QString& settingsPath, QWidget* parent = nullptr);

    // The verdict line once the check is over; empty before.
    QString verdict() const;
    QString text() const;

signals:
    void checked();

private:
    void showCheck(const QString& verdict, const QString& text);

    QLabel* m_verdict;
    QPlainTextEdit* m_text;
    bool m_done = false;
};
