#pragma once

#include <QObject>
#include <QString>

#include <optional>

class QPlainTextEdit;
class QPushButton;

// The task box lays out a text as one paragraph per line, and a line of
// megabytes takes seconds to lay out, during which the window answers
// nothing. Such a task is shown by its beginning, read-only, with a "Show
// all" button in the box's corner that puts the whole text in; until then the
// task's own text, not the beginning shown, is what New and Update take.
class LongTaskPreview : public QObject
{
    Q_OBJECT

public:
    // Longer tasks, in characters, are shown by their beginning.
    static constexpr qsizetype kWholeTextLimit = qsizetype(256) * 1024;

    explicit LongTaskPreview(QPlainTextEdit &editor);

    // Shows a task: stored is its text as the row holds it, decode turns any
    // part of it into what the box shows.
    void show(const QString &stored, QString (*decode)(const QString &));

    // The text of the task while only its beginning is shown, else nothing.
    const std::optional<QString> &previewed() const { return m_previewed; }

    // Puts the whole text of the previewed task in the box.
    void showAll();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void placeButton();
    void setText(const QString &shown);
    void endPreview();

    QPlainTextEdit &m_editor;
    QPushButton *m_showAll;
    QString (*m_decode)(const QString &) = nullptr;
    std::optional<QString> m_previewed;
    bool m_settingText = false;
};
