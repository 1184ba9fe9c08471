// A status bar made of text panes, like the classic pane status bar: pane 0
// stretches and shows the idle text "Ready" or the text a long operation puts
// there; command prompts (status tips) show over it while the pointer rests on
// a command and go again afterwards. The label of running work stays readable
// under a prompt: the prompt then uses the rest of the bar.
#pragma once

#include <QStatusBar>
#include <QString>
#include <QVector>

class QLabel;

namespace quarry {

class CPaneStatusBar : public QStatusBar {
    Q_OBJECT
public:
    explicit CPaneStatusBar(QWidget* parent = nullptr);

    // The gap between a pane's label and what follows it, in blanks.
    static constexpr int kLabelGapSpaces = 4;

    // The text pane 0 shows when nothing else is going on.
    static QString idleText();

    int paneCount() const { return panes_.size(); }
    // Adds a pane at the right end; answers its index.
    int addPane(const QString& text = QString());
    QString paneText(int pane) const;
    void setPaneText(int pane, const QString& text);
    // The pane's rectangle in the status bar's coordinates; empty for an
    // index out of range.
    QRect paneRect(int pane) const;
    // The label widget of a pane, so controls placed over a pane can follow
    // its moves; null for an index out of range.
    QLabel* paneLabel(int pane) const;

    // Text that stays at the left of pane 0 while a prompt shows (the label of
    // running work); empty when prompts may cover the whole pane.
    void setKeptText(const QString& text);
    QString keptText() const { return keptText_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    QVector<QLabel*> panes_;
    QString keptText_;
};

} // namespace quarry
